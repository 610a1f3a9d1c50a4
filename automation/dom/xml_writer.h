#pragma once

#include <string>

#include <pugixml.hpp>

namespace ovc::dom {

// Serialises a node as UTF-8 without any added white space, at any depth: a
// document writes its children (an XML declaration only when it has one, as
// <?xml version="1.0"?>), an element its start tag with the attributes in
// their order, its content and its end tag ("<a/>" when empty). Text escapes
// "&", "<", ">" and carriage return; attribute values are double-quoted and
// escape "&", "<", the double quote, tab, line feed and carriage return (as
// "&#N;"), so that they read back exactly. The tree holds only text XML can
// carry (see CheckNodeText).
std::string WriteXml(pugi::xml_node node);

// An attribute as it stands in a start tag: name="value".
std::string WriteXml(pugi::xml_attribute attribute);

}  // namespace ovc::dom
