#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "office/excel/formula/formula.h"

namespace ovc::excel::formula {

// One token of formula text.
struct Token {
  enum class Kind : uint8_t {
    kEnd,
    kOperand,   // `node`: a constant, reference, name or structured reference
    kFunction,  // `text`: the name, the "(" read too
    kOpen,
    kClose,
    kComma,
    kOperator,  // `text`: "+", "<=", ":"...
  };
  Kind kind = Kind::kEnd;
  Node node;
  std::string text;
  size_t position = 0;        // of the token's first byte
  bool space_before = false;  // blanks separate it from the token before
};

// Splits formula text into tokens, left to right.
class Tokenizer {
 public:
  explicit Tokenizer(std::string_view text) : text_(text) {}

  // The next token; false with *error when the text cannot be read there.
  bool Next(Token* token, std::string* error);

 private:
  bool ReadOperand(Token* token, std::string* error);
  bool ReadQualified(std::string sheet, Token* token, std::string* error);
  bool ReadReference(Node* node);
  bool ReadStructured(size_t start, Node* node, std::string* error);
  bool ReadNumber(Token* token, std::string* error);
  bool ReadString(std::string* text, std::string* error);
  bool ReadErrorLiteral(Value* value);
  bool ReadArray(Token* token, std::string* error);
  bool ReadArrayElement(Value* value, std::string* error);
  bool ReadQuotedSheet(std::string* sheet, std::string* error);
  std::string_view ReadWord();
  bool Fail(std::string_view what, std::string* error) const;

  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace ovc::excel::formula
