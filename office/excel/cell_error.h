#pragma once

#include <string_view>

#include "automation/hresult.h"

namespace ovc::excel {

// Error values of cells ("#DIV/0!") and their automation form: a VT_ERROR
// whose code is 0x800A0000 plus the error's number (#DIV/0! is 2007).

// The code of an error text; false, *code untouched, for other text.
bool ErrorCodeFromText(std::string_view text, SCODE* code);

// The text of an error code; "" for a code that is no cell error.
std::string_view ErrorTextFromCode(SCODE code);

}  // namespace ovc::excel
