#pragma once

#include <cstddef>
#include <string_view>

#include <pugixml.hpp>

#include "automation/dom/parse_error.h"

namespace ovc::dom {

struct ParseOptions {
  // Text handed over as text is UTF-8 whatever its declaration says; file
  // content is UTF-8 unless a byte order mark or the declaration says
  // otherwise.
  bool is_unicode_text = false;
  // Text made only of white space is kept only when this is set.
  bool preserve_white_space = false;
  // The most element levels allowed (the document element is level 1); 0
  // allows any number.
  size_t max_element_depth = 256;
};

// Parses a whole XML document into `tree`, which must be empty.
// Declaration, document type, comments, processing instructions and CDATA
// sections are kept. A document must have exactly one top-level element, no
// top-level text, no characters XML does not allow and no references other
// than the predefined entities and character references. On failure returns
// false and fills *error with the reason, the line and column (from 1, in
// characters) and the text of the line; `tree` is then left empty.
bool ParseXml(std::string_view text, const ParseOptions& options, pugi::xml_document* tree,
              ParseErrorInfo* error);

}  // namespace ovc::dom
