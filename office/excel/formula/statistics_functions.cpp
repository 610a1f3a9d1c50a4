#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>
#include <vector>

#include "office/excel/formula/function_support.h"
#include "office/excel/formula/function_table.h"

namespace ovc::excel::formula {

namespace {

using Numbers = std::vector<double>;

// A function of all numbers its arguments hold.
template <Value (*F)(Numbers&)>
Operand Aggregate(const Arguments& a) {
  Numbers numbers;
  if (const auto error = CollectNumbers(a, 0, a.size(), &numbers)) return *error;
  return F(numbers);
}

Value Sum(Numbers& x) { return Value::Number(std::accumulate(x.begin(), x.end(), 0.0)); }
Value SumSquares(Numbers& x) {
  return Value::Number(
      std::accumulate(x.begin(), x.end(), 0.0, [](double sum, double v) { return sum + v * v; }));
}
Value Product(Numbers& x) {
  if (x.empty()) return Value::Number(0);
  return Value::Number(std::accumulate(x.begin(), x.end(), 1.0, std::multiplies<>()));
}
Value Average(Numbers& x) {
  if (x.empty()) return Value::Error(ErrorCode::kDiv0);
  return Value::Number(std::accumulate(x.begin(), x.end(), 0.0) / double(x.size()));
}
Value Min(Numbers& x) {
  return Value::Number(x.empty() ? 0 : *std::min_element(x.begin(), x.end()));
}
Value Max(Numbers& x) {
  return Value::Number(x.empty() ? 0 : *std::max_element(x.begin(), x.end()));
}
Value Median(Numbers& x) {
  if (x.empty()) return Value::Error(ErrorCode::kNum);
  std::sort(x.begin(), x.end());
  const size_t half = x.size() / 2;
  return Value::Number(x.size() % 2 ? x[half] : (x[half - 1] + x[half]) / 2);
}

// The variance, of a sample (n - 1) or of a population.
template <bool kSample>
Value Variance(Numbers& x) {
  if (x.size() < (kSample ? 2u : 1u)) return Value::Error(ErrorCode::kDiv0);
  const double mean = std::accumulate(x.begin(), x.end(), 0.0) / double(x.size());
  double squares = 0;
  for (const double v : x) squares += (v - mean) * (v - mean);
  return Value::Number(squares / double(x.size() - (kSample ? 1 : 0)));
}
template <bool kSample>
Value Deviation(Numbers& x) {
  const Value variance = Variance<kSample>(x);
  return variance.is_error() ? variance : Value::Number(std::sqrt(variance.number()));
}

Operand Count(const Arguments& a) {
  double count = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    a.ForEach(i, false, [&count](const Value& value, bool direct) {
      count += value.is_number() || (direct && !ToNumber(value).is_error() && !value.is_blank());
      return true;
    });
  }
  return Value::Number(count);
}

Operand CountA(const Arguments& a) {
  double count = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    a.ForEach(i, false, [&count](const Value& value, bool direct) {
      count += direct || !value.is_blank();
      return true;
    });
  }
  return Value::Number(count);
}

Operand CountBlank(const Arguments& a) {
  if (!a.operand(0).is_reference()) return Value::Error(ErrorCode::kValue);
  double cells = 0;
  for (const Area& area : a.operand(0).areas) {
    cells += double(area.bottom - area.top + 1) * double(area.right - area.left + 1);
  }
  a.ForEach(0, false, [&cells](const Value& value, bool) {
    cells -= !(value.is_text() && value.text().empty());
    return true;
  });
  return Value::Number(cells);
}

// LARGE and SMALL: the k-th largest or smallest number.
template <bool kLargest>
Operand KthNumber(const Arguments& a) {
  const Value k = ToNumber(a.Scalar(1));
  if (k.is_error()) return k;
  Numbers numbers;
  if (const auto error = CollectNumbers(a, 0, 1, &numbers)) return *error;
  const double rank = std::ceil(k.number());
  if (rank < 1 || rank > double(numbers.size())) return Value::Error(ErrorCode::kNum);
  const auto nth = numbers.begin() + static_cast<ptrdiff_t>(rank - 1);
  if (kLargest) {
    std::nth_element(numbers.begin(), nth, numbers.end(), std::greater<>());
  } else {
    std::nth_element(numbers.begin(), nth, numbers.end());
  }
  return Value::Number(*nth);
}

Operand SumProduct(const Arguments& a) {
  std::vector<Value> arrays;
  for (size_t i = 0; i < a.size(); ++i) {
    arrays.push_back(a.Whole(i));
    if (arrays.back().is_error()) return arrays.back();
  }
  const auto shape = [](const Value& v) {
    return v.is_array() ? std::pair(v.array().rows, v.array().columns) : std::pair(1, 1);
  };
  for (const Value& array : arrays) {
    if (shape(array) != shape(arrays[0])) return Value::Error(ErrorCode::kValue);
  }
  const auto [rows, columns] = shape(arrays[0]);
  double sum = 0;
  for (size_t cell = 0; cell < size_t(rows) * columns; ++cell) {
    double product = 1;
    for (const Value& array : arrays) {
      const Value& value = array.is_array() ? array.array().cells[cell] : array;
      if (value.is_error()) return value;
      product *= value.is_number() ? value.number() : 0;
    }
    sum += product;
  }
  return Value::Number(sum);
}

// clang-format off
const FunctionSpec kStatisticsFunctions[] = {
    {"SUM", 1, kManyArguments, 0, nullptr, Aggregate<Sum>},
    {"SUMSQ", 1, kManyArguments, 0, nullptr, Aggregate<SumSquares>},
    {"PRODUCT", 1, kManyArguments, 0, nullptr, Aggregate<Product>},
    {"AVERAGE", 1, kManyArguments, 0, nullptr, Aggregate<Average>},
    {"MIN", 1, kManyArguments, 0, nullptr, Aggregate<Min>},
    {"MAX", 1, kManyArguments, 0, nullptr, Aggregate<Max>},
    {"MEDIAN", 1, kManyArguments, 0, nullptr, Aggregate<Median>},
    {"VAR", 1, kManyArguments, 0, nullptr, Aggregate<Variance<true>>},
    {"VAR.S", 1, kManyArguments, 0, nullptr, Aggregate<Variance<true>>},
    {"VARP", 1, kManyArguments, 0, nullptr, Aggregate<Variance<false>>},
    {"VAR.P", 1, kManyArguments, 0, nullptr, Aggregate<Variance<false>>},
    {"STDEV", 1, kManyArguments, 0, nullptr, Aggregate<Deviation<true>>},
    {"STDEV.S", 1, kManyArguments, 0, nullptr, Aggregate<Deviation<true>>},
    {"STDEVP", 1, kManyArguments, 0, nullptr, Aggregate<Deviation<false>>},
    {"STDEV.P", 1, kManyArguments, 0, nullptr, Aggregate<Deviation<false>>},
    {"COUNT", 1, kManyArguments, 0, nullptr, Count},
    {"COUNTA", 1, kManyArguments, 0, nullptr, CountA},
    {"COUNTBLANK", 1, 1, 0, nullptr, CountBlank},
    {"LARGE", 2, 2, kArrayArguments, nullptr, KthNumber<true>},
    {"SMALL", 2, 2, kArrayArguments, nullptr, KthNumber<false>},
    {"SUMPRODUCT", 1, kManyArguments, kArrayArguments, nullptr, SumProduct},
};
// clang-format on

}  // namespace

std::span<const FunctionSpec> StatisticsFunctions() { return kStatisticsFunctions; }

}  // namespace ovc::excel::formula
