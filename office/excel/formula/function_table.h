#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "office/excel/formula/value.h"

namespace ovc::excel::formula {

class Arguments;
struct Operand;

// A function of scalars: the evaluator intersects references with the
// formula's cell (or reads them as arrays inside array context), calls the
// function once per element when an argument is an array, and returns the
// first error argument unless the function takes errors.
using ScalarFunction = Value (*)(std::span<const Value> arguments);
// A function given its arguments as they are (references, arrays,
// missing); it may return a reference.
using RawFunction = Operand (*)(const Arguments& arguments);

enum FunctionFlag : uint8_t {
  kVolatile = 1,        // recalculated on every calculation
  kArrayArguments = 2,  // its arguments are evaluated as arrays
  kTakesErrors = 4,     // a scalar function handed error arguments
  kDated = 8,           // a scalar function handed, after its arguments, the
                        // workbook's date offset (see WorkbookView::DateOffset)
};

inline constexpr uint8_t kManyArguments = 255;

// One function of the formula language.
struct FunctionSpec {
  std::string_view name;  // upper case, without "_xlfn."
  uint8_t min_arguments;
  uint8_t max_arguments;  // kManyArguments: no limit
  uint8_t flags;
  ScalarFunction scalar;  // exactly one of scalar and raw is set
  RawFunction raw;
};

// The index of the function named `name` (either case, "_xlfn." and
// "_xlws." prefixes ignored); -1 when the table lacks it.
int32_t FindFunction(std::string_view name);
// The function at an index FindFunction returned.
const FunctionSpec& FunctionAt(int32_t index);

// The functions of each family, in the table once each.
std::span<const FunctionSpec> MathFunctions();
std::span<const FunctionSpec> StatisticsFunctions();
std::span<const FunctionSpec> LogicFunctions();
std::span<const FunctionSpec> TextFunctions();
std::span<const FunctionSpec> InformationFunctions();
std::span<const FunctionSpec> ConditionalFunctions();
std::span<const FunctionSpec> LookupFunctions();
std::span<const FunctionSpec> DateFunctions();
std::span<const FunctionSpec> EngineeringFunctions();

}  // namespace ovc::excel::formula
