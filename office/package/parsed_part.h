#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace ovc::office {

// One parsed XML part and what pugixml does not keep: the bytes before the
// root's content starts (byte order mark, declaration as written, the white
// space after it) and the white space after the document.
struct ParsedPart {
  std::string source;  // parsed in place: the document's text lives here
  pugi::xml_document document;
  std::string prolog;
  std::string epilogue;
};

// Parses `bytes` (kept in part->source) keeping declaration, comments, processing instructions,
// CDATA and white-space-only text. False and *reason for malformed XML, a
// DOCTYPE or elements nested deeper than max_depth; *part is then unusable.
bool ParsePart(std::string bytes, uint32_t max_depth, ParsedPart* part, std::string* reason);

// The part as UTF-8: the kept prolog (or the declaration node, re-encoded
// as UTF-8 when the part was not UTF-8), the nodes unformatted, the epilogue.
std::string SerializePart(const ParsedPart& part);

}  // namespace ovc::office
