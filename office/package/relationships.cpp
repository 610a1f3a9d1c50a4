#include "office/package/relationships.h"

#include <unordered_set>

#include "office/package/part_name.h"
#include "office/package/xml_names.h"

namespace ovc::office {
namespace {

constexpr std::string_view kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/package/2006/relationships";

pugi::xml_node Root(const pugi::xml_document& part) {
  const pugi::xml_node root = part.document_element();
  return IsElement(root, kRelationshipsNamespace, "Relationships") ? root : pugi::xml_node();
}

bool IsExternal(const pugi::xml_node& element) {
  return std::string_view(element.attribute("TargetMode").value()) == "External";
}

// True when `element` is an internal relationship whose target resolves to
// the part with key `key`.
bool Targets(const pugi::xml_node& element, std::string_view source, const std::string& key) {
  std::string part;
  return IsElement(element, kRelationshipsNamespace, "Relationship") && !IsExternal(element) &&
         ResolveTarget(source, element.attribute("Target").value(), &part) && PartKey(part) == key;
}

}  // namespace

bool ReadRelationships(const pugi::xml_document& part, std::string_view source,
                       std::vector<Relationship>* relationships, std::string* reason) {
  const pugi::xml_node root = Root(part);
  if (!root) {
    *reason = "not a relationships part";
    return false;
  }
  relationships->clear();
  for (pugi::xml_node element : root.children()) {
    if (!IsElement(element, kRelationshipsNamespace, "Relationship")) continue;
    Relationship relationship;
    relationship.id = element.attribute("Id").value();
    relationship.type = element.attribute("Type").value();
    relationship.target = element.attribute("Target").value();
    relationship.external = IsExternal(element);
    if (!relationship.external && !ResolveTarget(source, relationship.target, &relationship.part)) {
      *reason = "relationship '" + relationship.id + "' targets '" + relationship.target +
                "', outside the package";
      return false;
    }
    relationships->push_back(std::move(relationship));
  }
  return true;
}

void InitRelationships(pugi::xml_document* part) {
  part->reset();
  pugi::xml_node declaration = part->append_child(pugi::node_declaration);
  declaration.append_attribute("version").set_value("1.0");
  declaration.append_attribute("encoding").set_value("UTF-8");
  declaration.append_attribute("standalone").set_value("yes");
  part->append_child("Relationships")
      .append_attribute("xmlns")
      .set_value(std::string(kRelationshipsNamespace).c_str());
}

std::string AddRelationship(pugi::xml_document* part, std::string_view source,
                            std::string_view type, std::string_view target_part) {
  pugi::xml_node root = Root(*part);
  std::string name;
  if (!root || !QualifiedName(root, kRelationshipsNamespace, "Relationship", &name)) return "";
  std::unordered_set<std::string> used;
  for (pugi::xml_node element : root.children()) used.insert(element.attribute("Id").value());
  std::string id;
  for (size_t n = used.size() + 1;; ++n) {
    id = "rId" + std::to_string(n);
    if (!used.count(id)) break;
  }
  pugi::xml_node element = root.append_child(name.c_str());
  element.append_attribute("Id").set_value(id.c_str());
  element.append_attribute("Type").set_value(std::string(type).c_str());
  element.append_attribute("Target").set_value(RelativeTarget(source, target_part).c_str());
  return id;
}

bool RemoveRelationshipsTo(pugi::xml_document* part, std::string_view source,
                           std::string_view target_part) {
  const std::string key = PartKey(target_part);
  bool removed = false;
  pugi::xml_node element = Root(*part).first_child();
  while (element) {
    const pugi::xml_node next = element.next_sibling();
    if (Targets(element, source, key)) removed = element.parent().remove_child(element) || removed;
    element = next;
  }
  return removed;
}

}  // namespace ovc::office
