#pragma once

#include <string>
#include <string_view>

namespace ovc::excel {

// The longest name a workbook may define, in characters.
inline constexpr size_t kMaxNameLength = 255;

// Checks a name for a new defined name: at most 255 characters; first a
// letter, "_" or "\"; then letters, digits, "_", ".", "\" or "?"; not "R",
// "C" (either case) and not readable as a cell reference in A1 form (up to
// XFD1048576) or R1C1 form. True when valid; false and *reason (a sentence
// fragment such as "a name cannot read as a cell reference") when not.
bool CheckName(std::string_view name, std::string* reason);

// The key under which names compare without regard to case: every code point
// upper-cased by the C++ locale's simple (one-to-one) mapping, in UTF-8.
// Two names are the same name when their keys are equal.
std::string NameKey(std::string_view name);

}  // namespace ovc::excel
