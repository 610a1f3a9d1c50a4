#pragma once

#include <cstdint>
#include <string>

#include "automation/variant.h"

namespace ovc {

// Flags of VariantChangeType.
inline constexpr uint16_t VARIANT_NOVALUEPROP = 0x01;  // do not ask objects for their value
inline constexpr uint16_t VARIANT_ALPHABOOL = 0x02;    // booleans to text as "True"/"False"

// Converts `source` to type `vt` into *destination (which may be `source`
// itself), with the automation rules in the default en-US locale:
// - numbers convert among each other with rounding to even for integers and
//   DISP_E_OVERFLOW when out of range; booleans are -1/0 as numbers and any
//   non-zero number is true;
// - 64-bit integers (VT_I8) and currency (VT_CY, four decimals) convert
//   exactly among each other and to and from text and smaller integers; a
//   double converts to them rounded, they to a double as the nearest one;
// - text to numbers accepts surrounding blanks, a sign, "," thousands
//   separators, "." and an exponent; text to booleans accepts "True"/"False"
//   (any case) and numbers; text to dates accepts "12/25/2020", "12/25/20"
//   (two-digit years 00-29 are 20xx, 30-99 are 19xx), "2020-12-25", month
//   names, and times such as "13:45", "1:45:30 PM", alone or after a date;
// - doubles to text with at most 15 significant digits (DoubleToText);
//   booleans to "-1"/"0", or "True"/"False" with VARIANT_ALPHABOOL; dates to
//   "12/25/2020", "12/25/2020 1:45:30 PM" or "1:45:30 PM";
// - an object converts through its default value (DISPID_VALUE property)
//   unless VARIANT_NOVALUEPROP is given;
// - empty converts to 0, "" or false; null converts only to null
//   (DISP_E_TYPEMISMATCH otherwise);
// - by-reference sources are converted from the value they point to;
// - VT_VARIANT as `vt` copies the dereferenced value unchanged.
// Failures: DISP_E_TYPEMISMATCH (no conversion, text that is not a number or
// date), DISP_E_OVERFLOW, DISP_E_BADVARTYPE (a type the runtime does not
// know). On failure *destination is left unchanged.
HRESULT VariantChangeType(Variant* destination, const Variant& source, uint16_t flags, VARTYPE vt);

// Parses a number as VariantChangeType does from text. Returns false, and
// leaves *value unchanged, for text that is not a number.
bool ParseDouble(std::wstring_view text, double* value);

}  // namespace ovc
