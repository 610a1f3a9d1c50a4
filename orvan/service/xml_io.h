#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <string>
#include <string_view>

#include "orvan/status.h"

namespace ovc::orvan {

// Requests longer than this many bytes (UTF-8) are refused unread.
inline constexpr size_t kMaxRequestBytes = size_t{64} << 20;

// Parses request text. Fails with a message naming `what` for text over the
// size limit, text that is not well-formed XML, and a document whose root
// element is not named `root` (any root when `root` is null). Entity
// declarations are never expanded.
Status ParseXml(std::string_view text, const char* root, const char* what,
                pugi::xml_document* document);

// The document as text without indentation; with the XML declaration first
// when `declaration`.
std::string SerializeXml(const pugi::xml_document& document, bool declaration);

// Sets a text attribute with the library's character-reference escaping.
void SetText(pugi::xml_node element, const char* name, std::string_view value);
void SetNumber(pugi::xml_node element, const char* name, long long value);

// The text of an attribute with that escaping removed; empty when absent.
std::string GetText(pugi::xml_node element, const char* name);

}  // namespace ovc::orvan
