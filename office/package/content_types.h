#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace ovc::office {

inline constexpr std::string_view kContentTypesPart = "/[Content_Types].xml";

// Reading and changing a parsed [Content_Types].xml, elements matched by
// namespace.

// The part's content type: its Override, else the Default of its extension;
// "" when neither.
std::string LookupContentType(const pugi::xml_document& types, std::string_view part);

// Gives `part` this content type: nothing when it already has it, else an
// Override is added or changed. False when the root is not a Types element.
bool SetContentType(pugi::xml_document* types, std::string_view part,
                    std::string_view content_type);

// Removes the part's Override; true when there was one.
bool RemoveOverride(pugi::xml_document* types, std::string_view part);

}  // namespace ovc::office
