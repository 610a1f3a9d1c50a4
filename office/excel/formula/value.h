#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ovc::excel::formula {

// The seven error values a formula can produce, numbered as ERROR.TYPE
// numbers them.
enum class ErrorCode : uint8_t { kNull = 1, kDiv0, kValue, kRef, kName, kNum, kNA };

// "#DIV/0!" for kDiv0.
std::string_view ErrorText(ErrorCode code);
// The error an error literal spells (either case); false, *code untouched,
// for other text.
bool ErrorFromText(std::string_view text, ErrorCode* code);

struct ArrayData;

// One value of a formula: blank, a number, text (UTF-8), a boolean, an
// error or an array of values. Copies share an array's elements.
class Value {
 public:
  enum class Type : uint8_t { kBlank, kNumber, kText, kBoolean, kError, kArray };

  Value() = default;
  // A number; NaN and infinities become #NUM!.
  static Value Number(double number);
  static Value Text(std::string text);
  static Value Boolean(bool boolean);
  static Value Error(ErrorCode code);
  // A rows x columns array, `cells` in row order; rows and columns > 0 and
  // cells.size() == rows * columns.
  static Value Array(int32_t rows, int32_t columns, std::vector<Value> cells);

  Type type() const { return static_cast<Type>(data_.index()); }
  bool is_blank() const { return type() == Type::kBlank; }
  bool is_number() const { return type() == Type::kNumber; }
  bool is_text() const { return type() == Type::kText; }
  bool is_boolean() const { return type() == Type::kBoolean; }
  bool is_error() const { return type() == Type::kError; }
  bool is_array() const { return type() == Type::kArray; }

  // Each accessor requires the value to be of its type.
  double number() const { return std::get<double>(data_); }
  const std::string& text() const { return std::get<std::string>(data_); }
  bool boolean() const { return std::get<bool>(data_); }
  ErrorCode error() const { return std::get<ErrorCode>(data_); }
  const ArrayData& array() const { return *std::get<std::shared_ptr<const ArrayData>>(data_); }

  friend bool operator==(const Value& a, const Value& b);

 private:
  std::variant<std::monostate, double, std::string, bool, ErrorCode,
               std::shared_ptr<const ArrayData>>
      data_;
};

struct ArrayData {
  int32_t rows = 0;
  int32_t columns = 0;
  std::vector<Value> cells;  // row order

  const Value& At(int32_t row, int32_t column) const {
    return cells[row * size_t(columns) + column];
  }
};

// The most elements an array value may have.
inline constexpr size_t kMaxArrayCells = size_t{1} << 22;
// The longest text a formula may produce, in bytes.
inline constexpr size_t kMaxTextBytes = 32767 * 4;

// Coercions as arithmetic, text and logical operators apply them. An array
// coerces its top-left element; an error stays that error.
// Blank is 0, booleans 1 and 0, text that reads as a number that number,
// other text #VALUE!.
Value ToNumber(const Value& value);
// Numbers in the general format (15 significant digits), booleans "TRUE"
// and "FALSE", blank "".
Value ToText(const Value& value);
// Numbers are true when not 0, text "TRUE" or "FALSE" in either case, blank
// false; other text #VALUE!.
Value ToBoolean(const Value& value);

// A number in the general format: 15 significant digits, exponent form for
// very large and small magnitudes ("0.1", "1E+20", "-3").
std::string FormatGeneral(double number);
// Reads text as a number ("  1.5e3 ", "50%", "-.5"); false for other text.
bool ParseNumber(std::string_view text, double* number);

// Orders two scalars as comparison operators do: numbers before text
// before booleans, text without regard to case, numbers equal when they
// agree to 15 significant digits; blank compares as 0, "" or FALSE after the
// other side. -1, 0 or 1. Neither may be an error or an array.
int Compare(const Value& a, const Value& b);

}  // namespace ovc::excel::formula
