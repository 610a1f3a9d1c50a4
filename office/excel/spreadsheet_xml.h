#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "office/package/xml_names.h"

namespace ovc::excel {

// The namespace of the workbook parts' elements.
inline constexpr std::string_view kSpreadsheetNamespace =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// True when `node` is the spreadsheet element `local`, whatever its prefix.
inline bool IsSpreadsheetElement(const pugi::xml_node& node, std::string_view local) {
  return office::IsElement(node, kSpreadsheetNamespace, local);
}

// The first spreadsheet child element `local` of `parent`, or a null node.
inline pugi::xml_node SpreadsheetChild(const pugi::xml_node& parent, std::string_view local) {
  return office::ChildElement(parent, kSpreadsheetNamespace, local);
}

// The cell format (index into the cell formats) an element's s attribute
// names; 0, the default format, when it names none.
inline uint32_t StyleIndex(const pugi::xml_node& element) {
  return office::IntegerAttribute<uint32_t>(element.attribute("s")).value_or(0);
}

// The qualified name of a new spreadsheet element `local` under `parent`,
// with the prefix in scope there; "" when the namespace is not in scope,
// which for a parent that is itself a spreadsheet element means a null
// parent (under which pugixml adds nothing).
inline std::string SpreadsheetName(const pugi::xml_node& parent, std::string_view local) {
  std::string name;
  office::QualifiedName(parent, kSpreadsheetNamespace, local, &name);
  return name;
}

}  // namespace ovc::excel
