#include "automation/dom/tree_walk.h"

namespace ovc::dom {

bool RemoveSubtree(pugi::xml_node top) {
  if (!top.parent()) return false;
  pugi::xml_node node = top;
  while (true) {
    while (const pugi::xml_node child = node.first_child()) node = child;
    if (node == top) break;
    pugi::xml_node parent = node.parent();
    parent.remove_child(node);
    node = parent;
  }
  return top.parent().remove_child(top);
}

}  // namespace ovc::dom
