#include "automation/dom/tree_transplant.h"

#include "automation/dom/node_base.h"
#include "automation/dom/tree_walk.h"

namespace ovc::dom {

namespace {

// Re-binds the objects of the subtree `old_top` in `from` to the same places
// in its copy `new_top` in `to`.
void FollowCopy(NodeStore& from, pugi::xml_node old_top, const std::shared_ptr<NodeStore>& to,
                pugi::xml_node new_top, DomDocument* owner) {
  TreeWalk old_walk(old_top);
  TreeWalk new_walk(new_top);
  do {
    const pugi::xml_node old_node = old_walk.node();
    const pugi::xml_node new_node = new_walk.node();
    if (NodeBase* object = from.Find(old_node.internal_object())) {
      object->Bind(to, new_node, pugi::xml_attribute(), owner);
    }
    for (pugi::xml_attribute a = old_node.first_attribute(), b = new_node.first_attribute(); a;
         a = a.next_attribute(), b = b.next_attribute()) {
      if (NodeBase* object = from.Find(a.internal_object())) object->Bind(to, new_node, b, owner);
    }
  } while (old_walk.Next() && new_walk.Next());
}

bool HasObjects(const NodeStore& store, pugi::xml_node top) {
  TreeWalk walk(top);
  do {
    const pugi::xml_node node = walk.node();
    if (store.Find(node.internal_object()) != nullptr) return true;
    for (const pugi::xml_attribute attribute : node.attributes()) {
      if (store.Find(attribute.internal_object()) != nullptr) return true;
    }
  } while (walk.Next());
  return false;
}

}  // namespace

pugi::xml_node TransplantNode(std::shared_ptr<NodeStore> from, pugi::xml_node node,
                              const std::shared_ptr<NodeStore>& to, DomDocument* owner,
                              pugi::xml_node parent, pugi::xml_node before) {
  if (from == to) {
    return before ? parent.insert_move_before(node, before) : parent.append_move(node);
  }
  const pugi::xml_node copy =
      before ? parent.insert_copy_before(node, before) : parent.append_copy(node);
  if (!copy) return copy;
  FollowCopy(*from, node, to, copy, owner);
  RemoveSubtree(node);
  return copy;
}

bool DetachNode(std::shared_ptr<NodeStore> from, pugi::xml_node node, DomDocument* owner) {
  if (HasObjects(*from, node)) {
    auto fragment = std::make_shared<NodeStore>(NodeStore::Kind::kFragment);
    return static_cast<bool>(
        TransplantNode(from, node, fragment, owner, fragment->root(), pugi::xml_node()));
  }
  return RemoveSubtree(node);
}

pugi::xml_attribute TransplantAttribute(std::shared_ptr<NodeStore> from,
                                        pugi::xml_node from_element, pugi::xml_attribute attribute,
                                        const std::shared_ptr<NodeStore>& to, DomDocument* owner,
                                        pugi::xml_node element, pugi::xml_attribute after) {
  pugi::xml_attribute copy = after ? element.insert_attribute_after(attribute.name(), after)
                                   : element.append_attribute(attribute.name());
  if (!copy || !copy.set_value(attribute.value())) {
    if (copy) element.remove_attribute(copy);
    return pugi::xml_attribute();
  }
  if (NodeBase* object = from->Find(attribute.internal_object())) {
    object->Bind(to, element, copy, owner);
  }
  from_element.remove_attribute(attribute);
  return copy;
}

bool DetachAttribute(std::shared_ptr<NodeStore> from, pugi::xml_node element,
                     pugi::xml_attribute attribute, DomDocument* owner) {
  if (NodeBase* object = from->Find(attribute.internal_object())) {
    pugi::xml_node holder_element;
    pugi::xml_attribute moved;
    auto holder = NewAttributeHolder(attribute.name(), attribute.value(), &holder_element, &moved);
    if (!holder) return false;
    object->Bind(holder, holder_element, moved, owner);
  }
  return element.remove_attribute(attribute);
}

std::shared_ptr<NodeStore> NewAttributeHolder(const char* name, const char* value,
                                              pugi::xml_node* holder_element,
                                              pugi::xml_attribute* attribute) {
  auto holder = std::make_shared<NodeStore>(NodeStore::Kind::kAttributeHolder);
  *holder_element = holder->root().append_child("holder");
  *attribute = holder_element->append_attribute(name);
  if (!*attribute || !attribute->set_value(value)) return nullptr;
  return holder;
}

}  // namespace ovc::dom
