#include "office/excel/formula/tokenizer.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "automation/text.h"
#include "office/excel/formula/structured_reference.h"

namespace ovc::excel::formula {

namespace {

// A byte of a word: names, functions, sheets and references.
bool IsWordByte(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_' || c == '.' || c == '\\' || c == '?' ||
         c == '$' || static_cast<unsigned char>(c) >= 0x80;
}
bool StartsWord(char c) {
  return IsAsciiLetter(c) || c == '_' || c == '\\' || c == '$' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Reads "$"? and 1 to 3 column letters at *at.
bool ReadColumn(std::string_view text, size_t* at, int32_t* column) {
  size_t i = *at;
  if (i < text.size() && text[i] == '$') ++i;
  int32_t value = 0;
  size_t letters = 0;
  for (; i < text.size() && IsAsciiLetter(text[i]) && letters < 4; ++i, ++letters) {
    value = value * 26 + (ToUpperAscii(text[i]) - 'A' + 1);
  }
  if (letters == 0 || letters > 3 || value > kSheetColumns) return false;
  *at = i;
  *column = value;
  return true;
}

// Reads "$"? and a row number at *at.
bool ReadRow(std::string_view text, size_t* at, int32_t* row) {
  size_t i = *at;
  if (i < text.size() && text[i] == '$') ++i;
  const size_t first = i;
  int64_t value = 0;
  for (; i < text.size() && IsAsciiDigit(text[i]) && value <= kSheetRows; ++i) {
    value = value * 10 + (text[i] - '0');
  }
  if (i == first || value < 1 || value > kSheetRows) return false;
  *at = i;
  *row = static_cast<int32_t>(value);
  return true;
}

bool ReadCell(std::string_view text, size_t* at, int32_t* row, int32_t* column) {
  size_t i = *at;
  if (!ReadColumn(text, &i, column) || !ReadRow(text, &i, row)) return false;
  *at = i;
  return true;
}

bool WordEndsAt(std::string_view text, size_t at) {
  return at >= text.size() || (!IsWordByte(text[at]) && text[at] != '(');
}

// "A1", "A1:B2", "A:C" or "1:3" at *at, ending the word there.
bool ReadArea(std::string_view text, size_t* at, Area* area) {
  size_t i = *at;
  int32_t row = 0, column = 0;
  if (ReadCell(text, &i, &row, &column)) {
    *area = {-1, row, column, row, column};
    size_t j = i + 1;
    if (i < text.size() && text[i] == ':' && ReadCell(text, &j, &row, &column) &&
        WordEndsAt(text, j)) {
      i = j;
      *area = {-1, std::min(area->top, row), std::min(area->left, column),
               std::max(area->bottom, row), std::max(area->right, column)};
    }
    if (!WordEndsAt(text, i)) return false;
    *at = i;
    return true;
  }
  int32_t first = 0, last = 0;
  i = *at;
  size_t j = 0;
  if (ReadColumn(text, &i, &first) && i < text.size() && text[i] == ':' &&
      ReadColumn(text, &(j = i + 1), &last) && WordEndsAt(text, j)) {
    *area = {-1, 1, std::min(first, last), kSheetRows, std::max(first, last)};
    *at = j;
    return true;
  }
  i = *at;
  if (ReadRow(text, &i, &first) && i < text.size() && text[i] == ':' &&
      ReadRow(text, &(j = i + 1), &last) && WordEndsAt(text, j)) {
    *area = {-1, std::min(first, last), 1, std::max(first, last), kSheetColumns};
    *at = j;
    return true;
  }
  return false;
}

bool IsUpperWord(std::string_view word, std::string_view upper) {
  return word.size() == upper.size() && EqualsNoCase(FromUtf8(word), FromUtf8(upper));
}

}  // namespace

bool Tokenizer::Fail(std::string_view what, std::string* error) const {
  *error = std::string(what) + " at " + std::to_string(at_ + 1);
  return false;
}

bool Tokenizer::Next(Token* token, std::string* error) {
  const size_t before = at_;
  while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  *token = Token();
  token->space_before = at_ > before;
  token->position = at_;
  if (at_ >= text_.size()) return true;
  const char c = text_[at_];
  static constexpr std::string_view kTwoByteOperators[] = {"<>", "<=", ">="};
  for (const std::string_view op : kTwoByteOperators) {
    if (text_.substr(at_, 2) == op) {
      token->kind = Token::Kind::kOperator;
      token->text = op;
      at_ += 2;
      return true;
    }
  }
  switch (c) {
    case '(':
      token->kind = Token::Kind::kOpen;
      ++at_;
      return true;
    case ')':
      token->kind = Token::Kind::kClose;
      ++at_;
      return true;
    case ',':
      token->kind = Token::Kind::kComma;
      ++at_;
      return true;
    case '+':
    case '-':
    case '*':
    case '/':
    case '^':
    case '&':  // clang-format off
    case '=': case '<': case '>': case '%': case ':':  // clang-format on
      token->kind = Token::Kind::kOperator;
      token->text = c;
      ++at_;
      return true;
    default:
      return ReadOperand(token, error);
  }
}

bool Tokenizer::ReadOperand(Token* token, std::string* error) {
  token->kind = Token::Kind::kOperand;
  Node& node = token->node;
  const char c = text_[at_];
  if (c == '"') {
    std::string text;
    if (!ReadString(&text, error)) return false;
    node.constant = Value::Text(std::move(text));
    return true;
  }
  if (c == '#') {
    if (!ReadErrorLiteral(&node.constant)) return Fail("unknown error value", error);
    return true;
  }
  if (c == '{') return ReadArray(token, error);
  if (IsAsciiDigit(c) || c == '.') {
    if (IsAsciiDigit(c) && ReadReference(&node)) return true;
    return ReadNumber(token, error);
  }
  if (c == '\'') {
    std::string sheet;
    return ReadQuotedSheet(&sheet, error) && ReadQualified(std::move(sheet), token, error);
  }
  if (!StartsWord(c)) return Fail("unexpected character", error);
  const size_t start = at_;
  const std::string_view word = ReadWord();
  if (at_ < text_.size() && text_[at_] == '!') {
    ++at_;
    return ReadQualified(std::string(word), token, error);
  }
  if (at_ < text_.size() && text_[at_] == '[') return ReadStructured(start, &node, error);
  at_ = start;
  if (ReadReference(&node)) return true;
  at_ = start + word.size();
  if (at_ < text_.size() && text_[at_] == '(') {
    ++at_;
    token->kind = Token::Kind::kFunction;
    token->text = word;
    return true;
  }
  if (IsUpperWord(word, "TRUE") || IsUpperWord(word, "FALSE")) {
    node.constant = Value::Boolean(IsUpperWord(word, "TRUE"));
    return true;
  }
  node.kind = Node::Kind::kName;
  node.text = word;
  return true;
}

// After "Sheet!": a reference, a name of that sheet or #REF!.
bool Tokenizer::ReadQualified(std::string sheet, Token* token, std::string* error) {
  Node& node = token->node;
  node.sheet_given = true;
  if (at_ < text_.size() && text_[at_] == '#') {
    if (!ReadErrorLiteral(&node.constant)) return Fail("unknown error value", error);
    return true;
  }
  if (ReadReference(&node)) {
    node.text = std::move(sheet);
    return true;
  }
  if (at_ >= text_.size() || !StartsWord(text_[at_])) return Fail("reference expected", error);
  node.kind = Node::Kind::kName;
  node.text = sheet + "!" + std::string(ReadWord());
  return true;
}

bool Tokenizer::ReadReference(Node* node) {
  Area area;
  if (!ReadArea(text_, &at_, &area)) return false;
  node->kind = Node::Kind::kReference;
  node->area = area;
  return true;
}

// A table name and the bracketed specifier at at_ ("[[#All],[Code]]").
bool Tokenizer::ReadStructured(size_t start, Node* node, std::string* error) {
  int depth = 0;
  for (size_t i = at_; i < text_.size(); ++i) {
    if (text_[i] == '\'') {
      ++i;  // escapes the next character
    } else if (text_[i] == '[') {
      ++depth;
    } else if (text_[i] == ']' && --depth == 0) {
      const std::string_view text = text_.substr(start, i + 1 - start);
      StructuredReference reference;
      if (!ParseStructuredReference(text, false, &reference)) break;
      node->kind = Node::Kind::kTable;
      node->text = text;
      at_ = i + 1;
      return true;
    }
  }
  return Fail("malformed table reference", error);
}

std::string_view Tokenizer::ReadWord() {
  const size_t start = at_;
  while (at_ < text_.size() && IsWordByte(text_[at_])) ++at_;
  return text_.substr(start, at_ - start);
}

bool Tokenizer::ReadNumber(Token* token, std::string* error) {
  const size_t start = at_;
  while (at_ < text_.size() && (IsAsciiDigit(text_[at_]) || text_[at_] == '.')) ++at_;
  if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
    size_t i = at_ + 1;
    if (i < text_.size() && (text_[i] == '+' || text_[i] == '-')) ++i;
    if (i < text_.size() && IsAsciiDigit(text_[i])) {
      at_ = i;
      while (at_ < text_.size() && IsAsciiDigit(text_[at_])) ++at_;
    }
  }
  double number = 0;
  const auto [end, failure] = std::from_chars(text_.data() + start, text_.data() + at_, number);
  if (failure != std::errc() || end != text_.data() + at_ || !std::isfinite(number)) {
    at_ = start;
    return Fail("malformed number", error);
  }
  token->node.constant = Value::Number(number);
  return true;
}

bool Tokenizer::ReadString(std::string* text, std::string* error) {
  const char quote = text_[at_];
  for (size_t i = at_ + 1; i < text_.size(); ++i) {
    if (text_[i] != quote) {
      *text += text_[i];
    } else if (i + 1 < text_.size() && text_[i + 1] == quote) {
      *text += quote;
      ++i;
    } else {
      at_ = i + 1;
      return true;
    }
  }
  return Fail("unterminated text", error);
}

bool Tokenizer::ReadQuotedSheet(std::string* sheet, std::string* error) {
  if (!ReadString(sheet, error)) return false;
  if (at_ >= text_.size() || text_[at_] != '!') return Fail("'!' expected after a sheet", error);
  ++at_;
  return true;
}

bool Tokenizer::ReadErrorLiteral(Value* value) {
  for (const size_t length : {7, 6, 5, 4}) {
    ErrorCode code;
    if (ErrorFromText(text_.substr(at_, length), &code)) {
      *value = Value::Error(code);
      at_ += length;
      return true;
    }
  }
  return false;
}

bool Tokenizer::ReadArrayElement(Value* value, std::string* error) {
  while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  if (at_ >= text_.size()) return Fail("unterminated array", error);
  const char c = text_[at_];
  if (c == '"') {
    std::string text;
    if (!ReadString(&text, error)) return false;
    *value = Value::Text(std::move(text));
  } else if (c == '#') {
    if (!ReadErrorLiteral(value)) return Fail("unknown error value", error);
  } else if (c == '-' || c == '+' || IsAsciiDigit(c) || c == '.') {
    const bool negative = c == '-';
    if (c == '-' || c == '+') ++at_;
    Token number;
    if (at_ >= text_.size() || !ReadNumber(&number, error)) return Fail("number expected", error);
    *value =
        Value::Number(negative ? -number.node.constant.number() : number.node.constant.number());
  } else {
    const std::string_view word = ReadWord();
    if (!IsUpperWord(word, "TRUE") && !IsUpperWord(word, "FALSE")) {
      return Fail("constant expected in array", error);
    }
    *value = Value::Boolean(IsUpperWord(word, "TRUE"));
  }
  while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  return true;
}

bool Tokenizer::ReadArray(Token* token, std::string* error) {
  ++at_;
  std::vector<Value> cells;
  int32_t columns = 0, column = 0, rows = 1;
  for (;;) {
    Value value;
    if (!ReadArrayElement(&value, error)) return false;
    cells.push_back(std::move(value));
    ++column;
    const char c = at_ < text_.size() ? text_[at_] : '\0';
    if (c == ',') {
      ++at_;
      continue;
    }
    if (c != ';' && c != '}') return Fail("',', ';' or '}' expected in array", error);
    if (columns != 0 && column != columns) return Fail("array rows of unequal length", error);
    columns = column;
    column = 0;
    ++at_;
    if (c == '}') break;
    ++rows;
  }
  token->node.constant = Value::Array(rows, columns, std::move(cells));
  return true;
}

}  // namespace ovc::excel::formula
