#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ovc::orvan {

// The shortest text that reads back as exactly the same double ("0.1",
// "1e+300", "-0"). Never depends on the C locale.
std::string FormatReal(double value);

// Decimal digits with a leading '-' when negative. Never depends on the C
// locale.
std::string FormatInteger(int64_t value);

// Reads a whole text as a finite double: optional blanks around it, an
// optional sign, decimal or exponent notation with "." as decimal point.
// False, leaving *value unchanged, for anything else (also "nan", "inf").
bool ParseReal(std::string_view text, double* value);

// Reads a whole text as a decimal integer in [min, max], with optional blanks
// around it and an optional sign. False, leaving *value unchanged, otherwise.
bool ParseInteger(std::string_view text, int64_t min, int64_t max, int64_t* value);

}  // namespace ovc::orvan
