#include "office/excel/formula/value.h"

#include <array>
#include <charconv>
#include <cmath>

#include "automation/number_text.h"
#include "automation/text.h"
#include "office/excel/formula/decimal.h"

namespace ovc::excel::formula {

namespace {

constexpr std::array<std::string_view, 7> kErrorTexts = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!",
                                                         "#NAME?", "#NUM!",   "#N/A"};

const Value& Scalar(const Value& value) {
  return value.is_array() ? value.array().cells[0] : value;
}

// The rank of a type in comparisons: numbers, text, booleans.
int TypeRank(const Value& value) { return value.is_number() ? 0 : value.is_text() ? 1 : 2; }

// A blank compared with `other` stands for 0, "" or FALSE.
Value BlankLike(const Value& other) {
  if (other.is_text()) return Value::Text("");
  if (other.is_boolean()) return Value::Boolean(false);
  return Value::Number(0);
}

}  // namespace

std::string_view ErrorText(ErrorCode code) { return kErrorTexts[static_cast<size_t>(code) - 1]; }

bool ErrorFromText(std::string_view text, ErrorCode* code) {
  for (size_t i = 0; i < kErrorTexts.size(); ++i) {
    if (EqualsAsciiNoCase(text, kErrorTexts[i])) {
      *code = static_cast<ErrorCode>(i + 1);
      return true;
    }
  }
  return false;
}

Value Value::Number(double number) {
  if (!std::isfinite(number)) return Error(ErrorCode::kNum);
  Value value;
  value.data_ = number == 0 ? 0.0 : number;
  return value;
}

Value Value::Text(std::string text) {
  if (text.size() > kMaxTextBytes) return Error(ErrorCode::kValue);
  Value value;
  value.data_ = std::move(text);
  return value;
}

Value Value::Boolean(bool boolean) {
  Value value;
  value.data_ = boolean;
  return value;
}

Value Value::Error(ErrorCode code) {
  Value value;
  value.data_ = code;
  return value;
}

Value Value::Array(int32_t rows, int32_t columns, std::vector<Value> cells) {
  Value value;
  value.data_ = std::make_shared<const ArrayData>(ArrayData{rows, columns, std::move(cells)});
  return value;
}

bool operator==(const Value& a, const Value& b) {
  if (a.type() != b.type()) return false;
  if (!a.is_array()) return a.data_ == b.data_;
  const ArrayData& x = a.array();
  const ArrayData& y = b.array();
  return x.rows == y.rows && x.columns == y.columns && x.cells == y.cells;
}

bool ParseNumber(std::string_view text, double* number) {
  text = TrimSpaces(text);
  const bool percent = !text.empty() && text.back() == '%';
  if (percent) text = TrimSpaces(text.substr(0, text.size() - 1));
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.front() == '-' || text.front() == '+') return false;
  double read = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), read, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (negative) read = -read;
  *number = percent ? read / 100 : read;
  return std::isfinite(*number);
}

std::string FormatGeneral(double number) { return ToUtf8(DoubleToText(number)); }

Value ToNumber(const Value& value) {
  const Value& scalar = Scalar(value);
  switch (scalar.type()) {
    case Value::Type::kNumber:
    case Value::Type::kError:
      return scalar;
    case Value::Type::kBoolean:
      return Value::Number(scalar.boolean() ? 1 : 0);
    case Value::Type::kText: {
      double number = 0;
      return ParseNumber(scalar.text(), &number) ? Value::Number(number)
                                                 : Value::Error(ErrorCode::kValue);
    }
    default:
      return Value::Number(0);
  }
}

Value ToText(const Value& value) {
  const Value& scalar = Scalar(value);
  switch (scalar.type()) {
    case Value::Type::kNumber:
      return Value::Text(FormatGeneral(scalar.number()));
    case Value::Type::kBoolean:
      return Value::Text(scalar.boolean() ? "TRUE" : "FALSE");
    case Value::Type::kText:
    case Value::Type::kError:
      return scalar;
    default:
      return Value::Text("");
  }
}

Value ToBoolean(const Value& value) {
  const Value& scalar = Scalar(value);
  switch (scalar.type()) {
    case Value::Type::kNumber:
      return Value::Boolean(scalar.number() != 0);
    case Value::Type::kText:
      if (EqualsAsciiNoCase(scalar.text(), "TRUE")) return Value::Boolean(true);
      if (EqualsAsciiNoCase(scalar.text(), "FALSE")) return Value::Boolean(false);
      return Value::Error(ErrorCode::kValue);
    case Value::Type::kBlank:
      return Value::Boolean(false);
    default:
      return scalar;
  }
}

int Compare(const Value& a, const Value& b) {
  if (a.is_blank() && b.is_blank()) return 0;
  if (a.is_blank()) return Compare(BlankLike(b), b);
  if (b.is_blank()) return Compare(a, BlankLike(a));
  if (TypeRank(a) != TypeRank(b)) return TypeRank(a) < TypeRank(b) ? -1 : 1;
  if (a.is_number()) {
    const double x = RoundSignificant(a.number());
    const double y = RoundSignificant(b.number());
    return x < y ? -1 : x > y ? 1 : 0;
  }
  if (a.is_boolean()) return int{a.boolean()} - int{b.boolean()};
  const std::wstring x = ToUpper(FromUtf8(a.text()));
  const std::wstring y = ToUpper(FromUtf8(b.text()));
  return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace ovc::excel::formula
