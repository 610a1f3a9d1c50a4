#include "automation/dom/child_node_list.h"

#include "automation/dom/node_base.h"
#include "automation/dom/node_factory.h"

namespace ovc::dom {

namespace {

// The first child of a node that may have children (attributes have none
// here).
pugi::xml_node FirstChildOf(const NodeBase& parent) {
  return parent.attribute() ? pugi::xml_node() : parent.node().first_child();
}

}  // namespace

ChildNodeList::ChildNodeList(NodeBase* parent) : hold_(parent->Dispatch()), parent_(parent) {}

HRESULT ChildNodeList::Item(int32_t index, IDispatch** item) {
  pugi::xml_node child = index < 0 ? pugi::xml_node() : FirstChildOf(*parent_);
  for (int32_t i = 0; i < index && child; ++i) child = child.next_sibling();
  return WrapNode(parent_->store(), child, parent_->document(), item);
}

int32_t ChildNodeList::Length() {
  int32_t length = 0;
  for (pugi::xml_node child = FirstChildOf(*parent_); child; child = child.next_sibling()) {
    ++length;
  }
  return length;
}

std::vector<Variant> ChildNodeList::Values() {
  std::vector<Variant> values;
  for (pugi::xml_node child = FirstChildOf(*parent_); child; child = child.next_sibling()) {
    IDispatch* object = nullptr;
    WrapNode(parent_->store(), child, parent_->document(), &object);
    values.push_back(Variant::AttachDispatch(object));
  }
  return values;
}

}  // namespace ovc::dom
