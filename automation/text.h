#pragma once

#include <string>
#include <string_view>

namespace ovc {

// Automation text is std::wstring (UTF-32 on Linux); an empty text and an
// absent one are the same. UTF-8 is the encoding at every edge of the
// process (files, databases, XML parsers, the terminal) and is converted here
// only.

// Encodes as UTF-8. Code points that are not Unicode scalar values (lone
// surrogates, values above U+10FFFF) become U+FFFD.
std::string ToUtf8(std::wstring_view text);

// Decodes UTF-8. Malformed sequences become U+FFFD, one per maximal invalid
// subpart, so that no input is ever rejected or silently truncated.
std::wstring FromUtf8(std::string_view text);

// Lower and upper case of ASCII letters and of the letters the C++ locale
// knows; used for names matched without regard to case.
std::wstring ToLower(std::wstring_view text);
std::wstring ToUpper(std::wstring_view text);

// True for an ASCII letter or a letter the C++ locale knows.
bool IsLetter(wchar_t c);

// Equality without regard to letter case.
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace ovc
