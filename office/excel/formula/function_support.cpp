#include "office/excel/formula/function_support.h"

#include <cmath>
#include <cwctype>

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

double TakeDateOffset(std::span<const Value>* scalars) {
  const double offset = scalars->back().number();
  *scalars = scalars->first(scalars->size() - 1);
  return offset;
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

// Greedy, with one point of return at the last "*": linear in practice,
// never recursive.
bool WildcardMatch(const std::wstring& pattern, const std::wstring& text, size_t at, size_t* end,
                   bool whole) {
  size_t p = 0, t = at, star_p = std::wstring::npos, star_t = 0;
  while (true) {
    if (p == pattern.size() && (!whole || t == text.size())) {
      *end = t;
      return true;
    }
    if (p < pattern.size() && pattern[p] == L'*') {
      star_p = ++p;
      star_t = t;
      continue;
    }
    if (p < pattern.size() && t < text.size()) {
      const bool quoted = pattern[p] == L'~' && p + 1 < pattern.size();
      const wchar_t want = quoted ? pattern[p + 1] : pattern[p];
      if ((!quoted && want == L'?') || std::towupper(want) == std::towupper(text[t])) {
        p += quoted ? 2 : 1;
        ++t;
        continue;
      }
    }
    if (star_p == std::wstring::npos || star_t >= text.size()) return false;
    p = star_p;
    t = ++star_t;
  }
}

Cells::Cells(const Arguments& arguments, size_t i) : whole(arguments.Whole(i)) {
  if (whole.is_array()) {
    rows = whole.array().rows;
    columns = whole.array().columns;
  }
}

Value Cells::At(int32_t row, int32_t column) const {
  if (row < 0 || column < 0 || row >= rows || column >= columns) return Value();
  return whole.is_array() ? whole.array().At(row, column) : whole;
}

bool ToInteger(double number, int64_t* integer) {
  if (!(std::fabs(number) < 9.0e15)) return false;
  *integer = static_cast<int64_t>(std::trunc(number));
  return true;
}

}  // namespace ovc::excel::formula
