#pragma once

#include <string_view>

namespace ovc::office {

// True when every character of `text` can be written into an XML part: no
// control characters but tab, line feed and carriage return, no lone
// surrogates, no U+FFFE or U+FFFF.
bool IsXmlText(std::wstring_view text);

}  // namespace ovc::office
