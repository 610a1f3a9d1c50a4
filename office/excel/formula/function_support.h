#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "office/excel/formula/arguments.h"
#include "office/excel/formula/value.h"

namespace ovc::excel::formula {

// Helpers the function families share.

// The first `count` scalars as numbers (0 for those not given). True on
// success; false with *error the first that is no number.
bool ReadNumbers(std::span<const Value> scalars, double* numbers, size_t count, Value* error);

// The numbers of arguments `first` to `end` (excluded) as aggregates read them: numbers in
// references and arrays (their text, booleans and blanks skipped), and the
// arguments given directly, coerced. The first error met; none when all
// read.
std::optional<Value> CollectNumbers(const Arguments& arguments, size_t first, size_t end,
                                    std::vector<double>* numbers);

// An integer argument (truncated toward zero); false when it does not fit.
bool ToInteger(double number, int64_t* integer);

}  // namespace ovc::excel::formula
