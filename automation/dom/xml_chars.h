#pragma once

#include <cstddef>
#include <string_view>

#include "automation/dom/msxml.h"
#include "automation/hresult.h"

namespace ovc::dom {

// Whether an XML document may contain `c`: tab, line feed, carriage return,
// U+0020..U+D7FF, U+E000..U+FFFD and U+10000..U+10FFFF. The one rule every
// check of characters here follows.
bool IsXmlChar(char32_t c);

// The byte offset of the first character in UTF-8 `text` that an XML
// document may not contain, or npos. Malformed sequences pass (the text
// conversion reads them as U+FFFD), except encoded surrogates.
size_t FindDisallowedCharacter(std::string_view text);

// S_OK when `text` can be the content of a node of `type` (text, CDATA
// section, comment, processing instruction or attribute) such that the
// written document reads back the same: every character is allowed, a
// comment neither contains "--" nor ends with "-", a processing instruction
// does not contain "?>" and a CDATA section not "]]>". Otherwise E_FAIL with
// an error object saying what is wrong.
HRESULT CheckNodeText(DOMNodeType type, std::wstring_view text);

}  // namespace ovc::dom
