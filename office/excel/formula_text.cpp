#include "office/excel/formula_text.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "automation/text.h"
#include "office/excel/cell_reference.h"

namespace ovc::excel {

namespace {

bool IsWordChar(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_' || c == '.' || c == '$' || c == '\\' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// The length of the quoted run (string, quoted sheet name) or bracketed run
// at text's start, or 0 when the text starts with neither.
size_t QuotedLength(std::string_view text) {
  if (text[0] == '"' || text[0] == '\'') {
    const char quote = text[0];
    size_t i = 1;
    while (i < text.size()) {
      if (text[i] == quote && (i + 1 >= text.size() || text[i + 1] != quote)) return i + 1;
      i += text[i] == quote ? 2 : 1;
    }
    return text.size();
  }
  if (text[0] == '[') {
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      depth += text[i] == '[' ? 1 : text[i] == ']' ? -1 : 0;
      if (depth == 0) return i + 1;
    }
    return text.size();
  }
  return 0;
}

// The formula split into words (names, references, numbers) and what lies
// between them; `visit(word, next)` gets each word with the character after
// it and returns false to stop.
template <class Visit>
void ForEachWord(std::string_view formula, std::string* between, Visit visit) {
  size_t i = 0;
  while (i < formula.size()) {
    if (const size_t quoted = QuotedLength(formula.substr(i))) {
      if (between != nullptr) between->append(formula.substr(i, quoted));
      i += quoted;
    } else if (IsWordChar(formula[i])) {
      size_t end = i;
      while (end < formula.size() && IsWordChar(formula[end])) ++end;
      const char next = end < formula.size() ? formula[end] : '\0';
      if (!visit(formula.substr(i, end - i), next)) return;
      i = end;
    } else {
      if (between != nullptr) between->push_back(formula[i]);
      ++i;
    }
  }
}

struct SplitReference {
  bool column_absolute = false;
  bool row_absolute = false;
  CellRef cell;
};

bool ParseReference(std::string_view word, SplitReference* reference) {
  size_t i = 0;
  reference->column_absolute = i < word.size() && word[i] == '$';
  i += reference->column_absolute;
  const size_t letters = i;
  while (i < word.size() && IsAsciiLetter(word[i])) ++i;
  if (i == letters) return false;
  reference->row_absolute = i < word.size() && word[i] == '$';
  const size_t digits = i + reference->row_absolute;
  if (digits >= word.size() ||
      !std::all_of(word.begin() + static_cast<ptrdiff_t>(digits), word.end(), IsAsciiDigit<char>)) {
    return false;
  }
  return ParseA1Cell(word, &reference->cell);
}

bool IsWholeRowOrColumn(std::string_view word) {
  if (!word.empty() && word[0] == '$') word.remove_prefix(1);
  if (word.empty()) return false;
  return std::all_of(word.begin(), word.end(), IsAsciiDigit<char>) ||
         std::all_of(word.begin(), word.end(), IsAsciiLetter<char>);
}

}  // namespace

std::string VolatileFunctionIn(std::string_view formula) {
  static constexpr std::array<std::string_view, 9> kVolatile = {
      "NOW", "TODAY", "RAND", "RANDBETWEEN", "RANDARRAY", "OFFSET", "INDIRECT", "CELL", "INFO"};
  std::string found;
  ForEachWord(formula, nullptr, [&found](std::string_view word, char next) {
    if (next != '(') return true;
    std::string name = AsciiUpper(word);
    for (std::string_view prefix : {"_XLFN.", "_XLWS."}) {
      if (name.starts_with(prefix)) name.erase(0, prefix.size());
    }
    if (std::find(kVolatile.begin(), kVolatile.end(), name) == kVolatile.end()) return true;
    found = std::move(name);
    return false;
  });
  return found;
}

void ForEachNameIn(std::string_view formula, const std::function<bool(std::string_view)>& visit) {
  ForEachWord(formula, nullptr, [&visit](std::string_view word, char next) {
    return next == '(' || next == '!' || visit(word);
  });
}

bool ShiftReferences(std::string_view formula, int32_t rows, int32_t columns,
                     std::string* shifted) {
  std::string out;
  bool ok = true;
  ForEachWord(formula, &out, [&](std::string_view word, char next) {
    const char before = out.empty() ? '\0' : out.back();
    SplitReference reference;
    if (next == '(' || next == '!' || !ParseReference(word, &reference)) {
      if ((next == ':' || before == ':') && IsWholeRowOrColumn(word)) ok = false;
      out.append(word);
      return ok;
    }
    CellRef cell = reference.cell;
    if (!reference.row_absolute) cell.row += rows;
    if (!reference.column_absolute) cell.column += columns;
    if (cell.row < 1 || cell.row > kMaxRow || cell.column < 1 || cell.column > kMaxColumn) {
      ok = false;
      return false;
    }
    out += (reference.column_absolute ? "$" : "") + ColumnLetters(cell.column) +
           (reference.row_absolute ? "$" : "") + std::to_string(cell.row);
    return true;
  });
  if (!ok) return false;
  *shifted = std::move(out);
  return true;
}

}  // namespace ovc::excel
