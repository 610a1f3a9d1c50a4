#pragma once

#include <span>
#include <string_view>

#include <pugixml.hpp>

#include "office/word/word_names.h"  // kWordNamespace

namespace ovc::word {

// WordprocessingML elements matched by namespace URI, never by prefix, and
// their attributes, which carry the prefix of their element ("w:val" on
// "w:name", "val" on an unprefixed element of the default namespace).

// True when `node` is the WordprocessingML element `local`.
bool IsWord(pugi::xml_node node, std::string_view local);
// The first child element `local` of `parent`; empty when none.
pugi::xml_node WordChild(pugi::xml_node parent, std::string_view local);
// The attribute `local` of a WordprocessingML element; empty when absent.
pugi::xml_attribute WordAttribute(pugi::xml_node element, std::string_view local);
// Sets the attribute `local`, adding it when absent.
void SetWordAttribute(pugi::xml_node element, std::string_view local, std::string_view value);
// An on/off property element: false when absent or its w:val is "0",
// "false" or "off"; true otherwise (no w:val included).
bool IsOn(pugi::xml_node property);
// A decimal w:val; `absent` when the element or its value is missing or
// not a number.
int32_t IntegerValue(pugi::xml_node element, int32_t absent);

// Appends the child `local` in the parent's namespace, with its prefix.
pugi::xml_node AppendWordChild(pugi::xml_node parent, std::string_view local);
// Adds the child `local` (in the parent's namespace, with its prefix) where
// the schema sequence `order` puts it: after every child named earlier in
// `order`, which also lists `local`. Returns the new element.
pugi::xml_node InsertWordChild(pugi::xml_node parent, std::string_view local,
                               std::span<const std::string_view> order);
// The child `local`, added as InsertWordChild does when absent.
pugi::xml_node WordChildOrAdd(pugi::xml_node parent, std::string_view local,
                              std::span<const std::string_view> order);

}  // namespace ovc::word
