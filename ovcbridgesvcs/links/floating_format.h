#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ovc::links {

// Limits of the one conversion a number format may hold.
inline constexpr int kMaxFormatWidth = 64;
inline constexpr int kMaxFormatPrecision = 30;

// Numbers are written as printf writes them in the "C" locale, whatever the
// process locale: the decimal point is ".".

// Applies a printf-style number format to `value`: literal text, "%%", and
// exactly one floating conversion "%[flags][width][.precision][l]c" with c
// one of f F e E g G a A, at most five flags of "-+ #0", a width up to
// kMaxFormatWidth and a precision up to kMaxFormatPrecision. Any other
// format ("%s", "%n", "%*f", two conversions, "%999999f") gives nullopt.
std::optional<std::wstring> FormatFloating(std::wstring_view format, double value);

// `value` written with printf's "%.<precision><conversion>", `conversion`
// one of f e E, `precision` from 0 to 400.
std::string PrintDouble(char conversion, int precision, double value);

}  // namespace ovc::links
