#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "office/package/package.h"

namespace ovc::office {

// Reading and changing a parsed relationships part of `source` (a part name
// or "/"), elements matched by namespace.

// The relationships in document order; false and *reason when the root is
// no Relationships element or an internal target lies outside the package.
bool ReadRelationships(const pugi::xml_document& part, std::string_view source,
                       std::vector<Relationship>* relationships, std::string* reason);

// A new, empty relationships part.
void InitRelationships(pugi::xml_document* part);

// Adds a relationship to `target_part` and returns its new id ("rId<n>",
// unused so far); "" when the root is no Relationships element.
std::string AddRelationship(pugi::xml_document* part, std::string_view source,
                            std::string_view type, std::string_view target_part);

// Removes the internal relationships that target `target_part`; true when
// any was removed.
bool RemoveRelationshipsTo(pugi::xml_document* part, std::string_view source,
                           std::string_view target_part);

}  // namespace ovc::office
