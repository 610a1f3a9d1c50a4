#pragma once

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

}  // namespace ovc::office
