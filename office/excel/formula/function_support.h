#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "office/excel/formula/arguments.h"
#include "office/excel/formula/value.h"

namespace ovc::excel::formula {

// Helpers the function families share.

// The first `count` scalars as numbers (0 for those not given). True on
// success; false with *error the first that is no number.
bool ReadNumbers(std::span<const Value> scalars, double* numbers, size_t count, Value* error);

// The date offset the evaluator hands a kDated function after its
// arguments; leaves *scalars without it.
double TakeDateOffset(std::span<const Value>* scalars);

// The numbers of arguments `first` to `end` (excluded) as aggregates read them: numbers in
// references and arrays (their text, booleans and blanks skipped), and the
// arguments given directly, coerced. The first error met; none when all
// read.
std::optional<Value> CollectNumbers(const Arguments& arguments, size_t first, size_t end,
                                    std::vector<double>* numbers);

// An argument's cells: a reference read whole, an array, or one value.
struct Cells {
  Cells(const Arguments& arguments, size_t i);
  // The cell at (row, column), 0-based; blank outside.
  Value At(int32_t row, int32_t column) const;

  Value whole;
  int32_t rows = 1;
  int32_t columns = 1;
};

// Whether `pattern` (? any character, * any run, ~ quoting the next)
// matches `text` from `at` on, without regard to case: to its end when
// `whole`, else any prefix; *end is where the match ends.
bool WildcardMatch(const std::wstring& pattern, const std::wstring& text, size_t at, size_t* end,
                   bool whole);

// An integer argument (truncated toward zero); false when it does not fit.
bool ToInteger(double number, int64_t* integer);

}  // namespace ovc::excel::formula
