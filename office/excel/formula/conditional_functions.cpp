#include <algorithm>
#include <numeric>
#include <optional>
#include <span>
#include <vector>

#include "office/excel/formula/criteria.h"
#include "office/excel/formula/function_support.h"
#include "office/excel/formula/function_table.h"

namespace ovc::excel::formula {

namespace {

// The cells matching every range-criterion pair from argument `first` on,
// in the shape of the first range. An error when the ranges differ in
// shape or a criterion is an error.
std::optional<Value> Matching(const Arguments& a, size_t first, std::vector<bool>* mask,
                              int32_t* columns) {
  std::optional<Cells> shape;
  for (size_t i = first; i + 1 < a.size(); i += 2) {
    const Cells range(a, i);
    if (range.whole.is_error()) return range.whole;
    const Value condition = a.Scalar(i + 1);
    if (condition.is_error()) return condition;
    if (!shape) {
      shape = range;
      mask->assign(size_t(range.rows) * range.columns, true);
    } else if (range.rows != shape->rows || range.columns != shape->columns) {
      return Value::Error(ErrorCode::kValue);
    }
    const Criterion criterion(condition);
    for (int32_t row = 0; row < range.rows; ++row) {
      for (int32_t column = 0; column < range.columns; ++column) {
        if (!criterion.Matches(range.At(row, column)))
          (*mask)[row * size_t(range.columns) + column] = false;
      }
    }
  }
  *columns = shape ? shape->columns : 1;
  return std::nullopt;
}

enum class Reduce { kCount, kSum, kAverage, kMin, kMax };

Value Reduced(Reduce reduce, const std::vector<double>& x, size_t matched) {
  const double sum = std::accumulate(x.begin(), x.end(), 0.0);
  switch (reduce) {
    case Reduce::kCount:
      return Value::Number(double(matched));
    case Reduce::kSum:
      return Value::Number(sum);
    case Reduce::kAverage:
      return x.empty() ? Value::Error(ErrorCode::kDiv0) : Value::Number(sum / double(x.size()));
    case Reduce::kMin:
      return Value::Number(x.empty() ? 0 : *std::min_element(x.begin(), x.end()));
    default:
      return Value::Number(x.empty() ? 0 : *std::max_element(x.begin(), x.end()));
  }
}

// The *IF functions (range, criterion, [values]) when kPairsFirst, else the
// *IFS functions (values, range, criterion, ...). COUNTIF(S) count the
// matching cells; the others reduce the numbers among the matching values.
template <Reduce R, bool kPairsFirst>
Operand Conditional(const Arguments& a) {
  const size_t first = kPairsFirst ? 0 : 1;
  const size_t values_at = kPairsFirst ? (a.missing(2) ? 0 : 2) : 0;
  std::vector<bool> mask;
  int32_t columns = 1;
  if (const auto error = Matching(a, first, &mask, &columns)) return *error;
  const Cells values(a, R == Reduce::kCount ? first : values_at);
  std::vector<double> numbers;
  size_t matched = 0;
  for (size_t cell = 0; cell < mask.size(); ++cell) {
    if (!mask[cell]) continue;
    ++matched;
    const Value value = values.At(int32_t(cell / columns), int32_t(cell % columns));
    if (R != Reduce::kCount && value.is_error()) return value;
    if (value.is_number()) numbers.push_back(value.number());
  }
  return Reduced(R, numbers, matched);
}

Operand Rank(const Arguments& a) {
  const Value number = ToNumber(a.Scalar(0));
  if (number.is_error()) return number;
  const Value order = ToNumber(a.Scalar(2));
  if (order.is_error()) return order;
  std::vector<double> numbers;
  if (const auto error = CollectNumbers(a, 1, 2, &numbers)) return *error;
  const Value wanted = number;
  size_t before = 0;
  bool found = false;
  for (const double x : numbers) {
    const int compared = Compare(Value::Number(x), wanted);
    found |= compared == 0;
    before += order.number() == 0 ? compared > 0 : compared < 0;
  }
  return found ? Value::Number(double(before + 1)) : Value::Error(ErrorCode::kNA);
}

// clang-format off
const FunctionSpec kConditionalFunctions[] = {
    {"COUNTIF", 2, 2, 0, nullptr, Conditional<Reduce::kCount, true>},
    {"SUMIF", 2, 3, 0, nullptr, Conditional<Reduce::kSum, true>},
    {"AVERAGEIF", 2, 3, 0, nullptr, Conditional<Reduce::kAverage, true>},
    {"COUNTIFS", 2, kManyArguments, 0, nullptr, Conditional<Reduce::kCount, true>},
    {"SUMIFS", 3, kManyArguments, 0, nullptr, Conditional<Reduce::kSum, false>},
    {"AVERAGEIFS", 3, kManyArguments, 0, nullptr, Conditional<Reduce::kAverage, false>},
    {"MINIFS", 3, kManyArguments, 0, nullptr, Conditional<Reduce::kMin, false>},
    {"MAXIFS", 3, kManyArguments, 0, nullptr, Conditional<Reduce::kMax, false>},
    {"RANK", 2, 3, 0, nullptr, Rank},
    {"RANK.EQ", 2, 3, 0, nullptr, Rank},
};
// clang-format on

}  // namespace

std::span<const FunctionSpec> ConditionalFunctions() { return kConditionalFunctions; }

}  // namespace ovc::excel::formula
