#include "office/excel/formula/criteria.h"

#include <string_view>
#include <utility>

#include "automation/text.h"
#include "office/excel/formula/function_support.h"

namespace ovc::excel::formula {

Criterion::Criterion(const Value& criterion) {
  if (!criterion.is_text()) {
    operand_ = criterion.is_blank() ? Value::Number(0) : criterion;
    return;
  }
  std::string_view text = criterion.text();
  static constexpr std::pair<std::string_view, Comparison> kPrefixes[] = {
      {"<=", Comparison::kLessEqual}, {">=", Comparison::kGreaterEqual},
      {"<>", Comparison::kNotEqual},  {"<", Comparison::kLess},
      {">", Comparison::kGreater},    {"=", Comparison::kEqual}};
  for (const auto& [prefix, comparison] : kPrefixes) {
    if (text.substr(0, prefix.size()) == prefix) {
      comparison_ = comparison;
      text.remove_prefix(prefix.size());
      break;
    }
  }
  double number = 0;
  const Value logical = ToBoolean(Value::Text(std::string(text)));
  if (text.empty()) {
    operand_ = Value();
  } else if (ParseNumber(text, &number)) {
    operand_ = Value::Number(number);
  } else if (logical.is_boolean()) {
    operand_ = logical;
  } else {
    operand_ = Value::Text(std::string(text));
    pattern_ = FromUtf8(text);
  }
}

bool Criterion::Equals(const Value& cell) const {
  if (operand_.is_blank()) return cell.is_blank() || (cell.is_text() && cell.text().empty());
  if (operand_.is_text()) {
    size_t end = 0;
    return cell.is_text() && WildcardMatch(pattern_, FromUtf8(cell.text()), 0, &end, true);
  }
  // Text that reads as the number sought matches it too.
  double number = 0;
  if (operand_.is_number() && cell.is_text() && ParseNumber(cell.text(), &number)) {
    return Compare(Value::Number(number), operand_) == 0;
  }
  return cell.type() == operand_.type() && Compare(cell, operand_) == 0;
}

bool Criterion::Matches(const Value& cell) const {
  if (comparison_ == Comparison::kEqual) return Equals(cell);
  if (comparison_ == Comparison::kNotEqual) return !Equals(cell);
  if (cell.type() != operand_.type()) return false;
  const int order = Compare(cell, operand_);
  switch (comparison_) {
    case Comparison::kLess:
      return order < 0;
    case Comparison::kLessEqual:
      return order <= 0;
    case Comparison::kGreater:
      return order > 0;
    default:
      return order >= 0;
  }
}

bool LookupEquals(const Value& wanted, const Value& cell, bool wildcards) {
  if (wanted.type() != cell.type()) return false;
  if (!wanted.is_text() || !wildcards) return Compare(wanted, cell) == 0;
  size_t end = 0;
  return WildcardMatch(FromUtf8(wanted.text()), FromUtf8(cell.text()), 0, &end, true);
}

}  // namespace ovc::excel::formula
