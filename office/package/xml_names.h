#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace ovc::office {

// Namespace-aware views of pugixml nodes: elements are matched by namespace
// URI and local name, never by prefix.

// The name after the prefix ("x:row" -> "row").
std::string_view LocalName(const pugi::xml_node& element);

// The namespace URI bound to the element's prefix where it stands; "" when
// unbound.
std::string_view NamespaceUri(const pugi::xml_node& element);

// True for an element of that namespace and local name.
bool IsElement(const pugi::xml_node& node, std::string_view namespace_uri,
               std::string_view local_name);

// The first child element of that namespace and local name; empty if none.
pugi::xml_node ChildElement(const pugi::xml_node& parent, std::string_view namespace_uri,
                            std::string_view local_name);

// The qualified name a new element of that namespace takes under `parent`:
// the local name alone when the namespace is the default one in scope, else
// with the prefix bound to it in scope. False when the namespace is not in
// scope.
bool QualifiedName(const pugi::xml_node& parent, std::string_view namespace_uri,
                   std::string_view local_name, std::string* name);

// The attribute of that namespace and local name on `element`; empty if none.
// An unprefixed attribute counts as well when `element` itself belongs to the
// namespace, as some writers leave the prefix off there.
pugi::xml_attribute AttributeIn(const pugi::xml_node& element, std::string_view namespace_uri,
                                std::string_view local_name);

// The prefix that attributes of that namespace take on `element`. Such
// attributes always need a prefix, so when the namespace is in scope only as
// the default one, `preferred` (or `preferred` with a number, when that
// prefix is bound to another namespace) is declared on `element`.
std::string AttributePrefix(const pugi::xml_node& element, std::string_view namespace_uri,
                            std::string_view preferred);

// The local name of `node` when it is an element of that namespace, else "".
std::string_view LocalNameIn(const pugi::xml_node& node, std::string_view namespace_uri);

// Adds an element of that namespace and local name to `parent` where a
// schema sequence puts it: after every child of the namespace whose local
// name comes before `local_name` in `order` (which lists `local_name`
// itself), before the rest. Returns the new element; a null node when the
// namespace is not in scope at `parent`.
pugi::xml_node InsertInOrder(const pugi::xml_node& parent, std::string_view namespace_uri,
                             std::string_view local_name,
                             std::initializer_list<std::string_view> order);

// The root element of a part; a null node for a null part.
pugi::xml_node DocumentRoot(const pugi::xml_document* part);

// An xsd:boolean attribute: true for "1" and "true", `absent` when the
// attribute is missing, false otherwise.
bool BooleanAttribute(const pugi::xml_attribute& attribute, bool absent = false);

// The integer `text` holds as an xsd integer (decimal digits after an
// optional sign, white space around them allowed) when it lies within
// [minimum, maximum]; nullopt for other text or a value outside the range.
std::optional<int64_t> ParseXmlInteger(std::string_view text, int64_t minimum, int64_t maximum);

// Every integer a part holds is read through these: nullopt when the text
// (the attribute's value) is no integer within [minimum, maximum], and for
// an absent attribute.
template <typename Integer = int32_t>
std::optional<Integer> XmlInteger(std::string_view text,
                                  Integer minimum = std::numeric_limits<Integer>::min(),
                                  Integer maximum = std::numeric_limits<Integer>::max()) {
  static_assert(sizeof(Integer) <= sizeof(int32_t), "the range must fit in int64_t");
  const std::optional<int64_t> value = ParseXmlInteger(text, minimum, maximum);
  if (!value) return std::nullopt;
  return static_cast<Integer>(*value);
}
template <typename Integer = int32_t>
std::optional<Integer> IntegerAttribute(const pugi::xml_attribute& attribute,
                                        Integer minimum = std::numeric_limits<Integer>::min(),
                                        Integer maximum = std::numeric_limits<Integer>::max()) {
  if (!attribute) return std::nullopt;
  return XmlInteger<Integer>(attribute.value(), minimum, maximum);
}

}  // namespace ovc::office
