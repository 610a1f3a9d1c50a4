#pragma once

#include <string>
#include <string_view>

namespace ovc::orvan {

// Sets the Locked attribute ("0" or "1") of a stored Bridge document's root
// without parsing and saving the document again, for text exactly as this
// host's XML writer puts it (which parsing and saving would give back byte
// for byte): the XML declaration or none, tags with one space before each
// attribute and double quotes, only the escapes the writer makes, no
// whitespace-only text, no comments, processing instructions or CDATA. The
// text must have been well-formed when it was stored. False, leaving
// *answer alone, for any other text.
bool StampLocked(std::string_view stored, bool locked, std::string* answer);

}  // namespace ovc::orvan
