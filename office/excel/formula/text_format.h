#pragma once

#include <string_view>

#include "office/excel/formula/value.h"

namespace ovc::excel::formula {

// `value` shown with a number format code as TEXT does: "General", "@",
// digit placeholders 0 # ?, a decimal point, thousands separators, %,
// exponents (E+00), quoted and escaped literals before and after the
// digits, and up to three sections (positive;negative;zero). Text is shown
// as it is. Date and time codes are #VALUE!: not supported.
Value FormatWithCode(const Value& value, std::string_view code);

}  // namespace ovc::excel::formula
