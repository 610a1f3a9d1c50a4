#include "automation/dom/node_store.h"

namespace ovc::dom {

NodeBase* NodeStore::Find(const void* key) const {
  const auto found = objects_.find(key);
  return found == objects_.end() ? nullptr : found->second;
}

void NodeStore::Register(const void* key, NodeBase* object) { objects_[key] = object; }

void NodeStore::Unregister(const void* key) { objects_.erase(key); }

pugi::xml_node FirstElementChild(pugi::xml_node node) {
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) return child;
  }
  return pugi::xml_node();
}

}  // namespace ovc::dom
