#pragma once

#include <span>
#include <string>
#include <string_view>

namespace ovc::orvan {

// An attribute to set on a document's root. The value must need no escaping
// (a number).
struct RootAttribute {
  std::string_view name;
  std::string_view value;
};

// Sets attributes of a stored Bridge document's root, each in place when the
// root has it and else appended in the order given, without parsing and
// saving the document again, for text exactly as this
// host's XML writer puts it (which parsing and saving would give back byte
// for byte): the XML declaration or none, tags with one space before each
// attribute and double quotes, only the escapes the writer makes, no
// whitespace-only text, no comments, processing instructions or CDATA. The
// text must have been well-formed when it was stored. False, leaving
// *answer alone, for any other text.
bool StampRoot(std::string_view stored, std::span<const RootAttribute> attributes,
               std::string* answer);

}  // namespace ovc::orvan
