#include "office/excel/formula/function_support.h"

#include <cmath>

namespace ovc::excel::formula {

bool ReadNumbers(std::span<const Value> scalars, double* numbers, size_t count, Value* error) {
  for (size_t i = 0; i < count; ++i) {
    if (i >= scalars.size()) {
      numbers[i] = 0;
      continue;
    }
    const Value number = ToNumber(scalars[i]);
    if (number.is_error()) {
      *error = number;
      return false;
    }
    numbers[i] = number.number();
  }
  return true;
}

std::optional<Value> CollectNumbers(const Arguments& arguments, size_t first, size_t end,
                                    std::vector<double>* numbers) {
  std::optional<Value> error;
  for (size_t i = first; i < end && i < arguments.size(); ++i) {
    arguments.ForEach(i, false, [&](const Value& value, bool direct) {
      if (value.is_error()) {
        error = value;
        return false;
      }
      if (value.is_number()) {
        numbers->push_back(value.number());
      } else if (direct) {
        const Value number = ToNumber(value);
        if (number.is_error()) {
          error = number;
          return false;
        }
        numbers->push_back(number.number());
      }
      return true;
    });
    if (error) return error;
  }
  return error;
}

bool ToInteger(double number, int64_t* integer) {
  if (!(std::fabs(number) < 9.0e15)) return false;
  *integer = static_cast<int64_t>(std::trunc(number));
  return true;
}

}  // namespace ovc::excel::formula
