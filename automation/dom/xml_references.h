#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ovc::dom {

// Replaces the references in UTF-8 text as it stands in a document (text
// content or an attribute value) by the characters they stand for. Only the
// predefined entities (amp, lt, gt, apos, quot) and character references to
// characters XML allows are known. On failure returns false, leaves *text
// undefined and sets *reason and *offset (bytes into `raw`) to the
// offending "&".
bool ResolveReferences(std::string_view raw, std::string* text, std::wstring* reason,
                       size_t* offset);

}  // namespace ovc::dom
