#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "automation/hresult.h"

namespace ovc::excel {

// The longest text a cell holds, in UTF-16 code units.
inline constexpr size_t kMaxCellTextLength = 32767;

// Cell texts in the XML of a workbook: characters XML cannot carry are
// written as "_xHHHH_" (the UTF-16 code unit in hexadecimal), and an
// underscore that would start such an escape as "_x005F_".

// The text of a stored cell text with its escapes decoded (either case of hex
// digits; an escaped surrogate pair joined, a lone escaped surrogate as
// U+FFFD) and a raw CR read as LF, as an XML reader sees it.
std::string DecodeCellText(std::string_view stored);

// The stored form of `text` (UTF-8): the control characters other than tab
// and LF, CR, U+FFFE and U+FFFF escaped, a literal "_xHHHH_" protected.
// E_INVALIDARG with *reason for a lone surrogate, a code point past
// U+10FFFF or a text over kMaxCellTextLength.
HRESULT EncodeCellText(std::wstring_view text, std::string* stored, std::string* reason);

// The number of UTF-16 code units of `text`.
size_t Utf16Length(std::wstring_view text);

// The text of a string item (a shared string `si` or an inline `is`): its
// `t`, or its rich-text runs joined, phonetic runs left out; decoded.
std::string StringItemText(pugi::xml_node item);

// Makes `item` (an `si` or `is` element, emptied first) hold the stored text
// in one `t`, with xml:space="preserve" when it starts or ends with a blank.
void SetStringItemText(pugi::xml_node item, std::string_view stored);

}  // namespace ovc::excel
