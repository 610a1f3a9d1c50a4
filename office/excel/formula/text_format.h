#pragma once

#include <string_view>

#include "office/excel/formula/value.h"

namespace ovc::excel::formula {

// `value` shown with a number format code as TEXT does: "General", "@",
// digit placeholders 0 # ?, a decimal point, thousands separators, %,
// exponents (E+00), quoted and escaped literals before and after the
// digits, up to three sections (positive;negative;zero). Text is shown
// as it is, unless it reads as a number or a date. Date and time codes show
// `value` as a serial number of the workbook's date system, whose serials lie
// `date_offset` days after the 1900 system's (see FormatDateTime); negative
// dates are #VALUE!.
Value FormatWithCode(const Value& value, std::string_view code, double date_offset);

}  // namespace ovc::excel::formula
