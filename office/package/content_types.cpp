#include "office/package/content_types.h"

#include <strings.h>

#include "office/package/part_name.h"
#include "office/package/xml_names.h"

namespace ovc::office {
namespace {

constexpr std::string_view kTypesNamespace =
    "http://schemas.openxmlformats.org/package/2006/content-types";

pugi::xml_node TypesRoot(const pugi::xml_document& types) {
  const pugi::xml_node root = types.document_element();
  return IsElement(root, kTypesNamespace, "Types") ? root : pugi::xml_node();
}

pugi::xml_node FindOverride(const pugi::xml_document& types, std::string_view part) {
  const std::string key = PartKey(part);
  for (pugi::xml_node child : TypesRoot(types).children()) {
    if (IsElement(child, kTypesNamespace, "Override") &&
        PartKey(child.attribute("PartName").value()) == key) {
      return child;
    }
  }
  return {};
}

std::string DefaultType(const pugi::xml_document& types, std::string_view part) {
  const std::string extension(Extension(part));
  if (extension.empty()) return "";
  for (pugi::xml_node child : TypesRoot(types).children()) {
    if (IsElement(child, kTypesNamespace, "Default") &&
        strcasecmp(child.attribute("Extension").value(), extension.c_str()) == 0) {
      return child.attribute("ContentType").value();
    }
  }
  return "";
}

}  // namespace

std::string LookupContentType(const pugi::xml_document& types, std::string_view part) {
  const pugi::xml_node override_element = FindOverride(types, part);
  if (override_element) return override_element.attribute("ContentType").value();
  return DefaultType(types, part);
}

bool SetContentType(pugi::xml_document* types, std::string_view part,
                    std::string_view content_type) {
  pugi::xml_node root = TypesRoot(*types);
  if (!root) return false;
  if (LookupContentType(*types, part) == content_type) return true;
  pugi::xml_node element = FindOverride(*types, part);
  if (!element) {
    std::string name;
    if (!QualifiedName(root, kTypesNamespace, "Override", &name)) return false;
    element = root.append_child(name.c_str());
    element.append_attribute("PartName").set_value(std::string(part).c_str());
    element.append_attribute("ContentType");
  }
  element.attribute("ContentType").set_value(std::string(content_type).c_str());
  return true;
}

bool RemoveOverride(pugi::xml_document* types, std::string_view part) {
  const pugi::xml_node element = FindOverride(*types, part);
  return element && element.parent().remove_child(element);
}

}  // namespace ovc::office
