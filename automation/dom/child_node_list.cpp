#include "automation/dom/child_node_list.h"

#include <vector>

#include "automation/dom/node_base.h"
#include "automation/dom/node_factory.h"
#include "automation/enum_variant.h"

namespace ovc::dom {

namespace {

// The first child of a node that may have children (attributes have none
// here).
pugi::xml_node FirstChildOf(const NodeBase& parent) {
  return parent.attribute() ? pugi::xml_node() : parent.node().first_child();
}

}  // namespace

ChildNodeList::ChildNodeList(NodeBase* parent) : hold_(parent->Dispatch()), parent_(parent) {}

HRESULT ChildNodeList::get_item(int32_t index, IDispatch** item) {
  if (item == nullptr) return E_POINTER;
  pugi::xml_node child = index < 0 ? pugi::xml_node() : FirstChildOf(*parent_);
  for (int32_t i = 0; i < index && child; ++i) child = child.next_sibling();
  return WrapNode(parent_->store(), child, parent_->document(), item);
}

HRESULT ChildNodeList::get_length(int32_t* length) {
  if (length == nullptr) return E_POINTER;
  *length = 0;
  for (pugi::xml_node child = FirstChildOf(*parent_); child; child = child.next_sibling()) {
    ++*length;
  }
  return S_OK;
}

HRESULT ChildNodeList::nextNode(IDispatch** item) {
  if (item == nullptr) return E_POINTER;
  const HRESULT hr = get_item(position_, item);
  if (*item != nullptr) ++position_;
  return hr;
}

HRESULT ChildNodeList::reset() {
  position_ = 0;
  return S_OK;
}

HRESULT ChildNodeList::get__newEnum(IUnknown** enumerator) {
  if (enumerator == nullptr) return E_POINTER;
  std::vector<Variant> values;
  for (pugi::xml_node child = FirstChildOf(*parent_); child; child = child.next_sibling()) {
    IDispatch* object = nullptr;
    WrapNode(parent_->store(), child, parent_->document(), &object);
    values.push_back(Variant::AttachDispatch(object));
  }
  *enumerator = CreateVariantEnumerator(std::move(values)).Detach();
  return S_OK;
}

}  // namespace ovc::dom
