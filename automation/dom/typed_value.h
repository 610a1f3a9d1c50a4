#pragma once

#include <string>

#include "automation/variant.h"

namespace ovc::dom {

// The text a typed value takes in a document (attribute values, node values):
// text as it is; integers in decimal; reals in the shortest form that reads
// back as the same number, with "." as the decimal point whatever the
// locale; dates as their serial number in the same form; booleans "1" and
// "0"; empty and null as "". By-reference values are followed.
// DISP_E_TYPEMISMATCH (with an error object) for objects, arrays and error
// values; *text is then unchanged.
HRESULT TypedValueText(const Variant& value, std::wstring* text);

}  // namespace ovc::dom
