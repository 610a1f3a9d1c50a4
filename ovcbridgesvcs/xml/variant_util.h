#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/hresult.h"
#include "automation/variant.h"

namespace ovc::xml {

// The character-reference layer the library puts on every text it stores in
// an XML attribute, beneath the XML escaping the DOM adds itself: each
// character below 32 and each "&" becomes "&#<decimal code>;". The host's
// data service escapes and unescapes its texts the same way.
std::wstring EscapeXmlText(std::wstring_view text);

// Appends EscapeXmlText(text) as UTF-8 (as ToUtf8 encodes it) to *out in one
// pass. False at the first character no XML document can hold
// (dom::IsXmlChar); *out then ends with part of the text.
bool AppendEscapedUtf8(std::wstring_view text, std::string* out);

// Undoes EscapeXmlText: every "&#" with a ";" after it becomes the character
// whose code is the leading decimal digits between them (LeadingInteger),
// lower 16 bits. A "&#" without a ";" after it, and the rest, stay as they
// are.
std::wstring UnescapeXmlText(std::wstring_view text);

// The text `value` takes in a document: "" for empty and null; integers in
// decimal; reals and dates (as serial numbers) printed like "%.16g" with "."
// as decimal point whatever the locale; text as it is; booleans "1"/"0". By-
// reference values are followed. E_INVALIDARG with an error for objects
// ("Cannot convert a object into an XML string") and for any other type
// ("No defined XML format for variant type"); *text is then unchanged.
HRESULT FormatForXML(const Variant& value, std::wstring* text);

// The value of document text `text` as type `vt` (VT_I4, VT_R8, VT_DATE,
// VT_BSTR or VT_BOOL) in *value; *converted tells whether it got that type.
// Empty text gives null (not converted) unless `vt` is VT_BSTR. Integers
// take the leading digits; reals and dates need one number at the start
// (after blanks); booleans follow BooleanFromText. Returns S_OK, also when
// not converted; E_FAIL with an error ("No defined XML format for given
// type") for other types and for a boolean text the rule refuses.
HRESULT ValueFromXMLText(std::wstring_view text, VARTYPE vt, Variant* value, bool* converted);

// The boolean a text stands for: exactly "0" or "1"; or, chosen by the first
// character without regard to case, the whole text equal to "false", "no",
// "true", "yes", "on" or "off". False for any other text.
bool BooleanFromText(std::wstring_view text, bool* value);

}  // namespace ovc::xml
