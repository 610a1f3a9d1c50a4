#pragma once

#include <string>
#include <string_view>

// The character-reference layer that the bridge library puts on every text
// attribute value, beneath the XML escaping that the XML writer adds itself.
// Both work on UTF-8.
namespace ovc::orvan {

// Replaces each character below 32 and each "&" by "&#<decimal code>;".
std::string EscapeAttribute(std::string_view text);

// Undoes EscapeAttribute the way the library does: every "&#" that has a ";"
// after it is replaced, with the characters between, read as a decimal
// number (leading digits; none reads as 0), taken as a 16-bit character
// code. A "&#" without a following ";" and the rest of the text stay as
// they are.
std::string UnescapeAttribute(std::string_view text);

}  // namespace ovc::orvan
