#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace ovc::excel {

// The namespace URIs of the workbook parts.
inline constexpr std::string_view kSpreadsheetNamespace =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// The root element of a part; a null node for a null part.
pugi::xml_node DocumentRoot(const pugi::xml_document* part);

// An xsd:boolean attribute: true for "1" and "true", `absent` when missing,
// false otherwise.
bool BooleanAttribute(pugi::xml_attribute attribute, bool absent = false);

// Element names of one namespace in one part, matched by namespace URI and
// never by a fixed prefix: the prefix is the one the part's root element
// binds to the URI ("" for the default namespace), so "x:c", "ns0:c" and "c"
// are all the cell element of their part. A URI the root does not declare
// maps to the root element's own prefix.
class XmlNames {
 public:
  XmlNames(pugi::xml_node root, std::string_view uri);

  // True when the root element declares the URI.
  bool declared() const { return declared_; }

  // True when `node` is the element `local` of this namespace.
  bool Is(pugi::xml_node node, std::string_view local) const;
  // The local name of `node` when it is in this namespace, else "".
  std::string_view LocalName(pugi::xml_node node) const;
  // The first child element `local` of `parent`, or a null node.
  pugi::xml_node Child(pugi::xml_node parent, std::string_view local) const;
  // The qualified name for a new element `local`.
  std::string Name(std::string_view local) const;

  // Adds an element `local` to `parent` where a schema sequence puts it:
  // after every child whose name comes before `local` in `order` (which
  // lists `local` itself), before the rest. Returns the new element.
  pugi::xml_node InsertInOrder(pugi::xml_node parent, std::string_view local,
                               std::initializer_list<std::string_view> order) const;

 private:
  std::string prefix_;  // with its ":" when not empty
  bool declared_ = false;
};

}  // namespace ovc::excel
