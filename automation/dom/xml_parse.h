#pragma once

#include <string_view>

#include <pugixml.hpp>

#include "automation/dom/parse_error.h"

namespace ovc::dom {

// Parses a whole XML document into `tree`, which must be empty. Text handed
// over as text (`is_unicode_text`) is UTF-8 whatever its declaration says;
// file content is UTF-8 unless a byte order mark or the declaration says
// otherwise. Declaration, document type, comments,
// processing instructions and CDATA sections are kept; text made only of
// white space is kept only when `preserve_white_space` is set. A document
// must have exactly one top-level element and no top-level text. On failure
// returns false and fills *error with the reason, the line and column (from
// 1, in characters) and the text of the line; `tree` is then left empty.
bool ParseXml(std::string_view text, bool is_unicode_text, bool preserve_white_space,
              pugi::xml_document* tree, ParseErrorInfo* error);

}  // namespace ovc::dom
