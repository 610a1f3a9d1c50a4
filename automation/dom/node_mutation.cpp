// The members of NodeBase that change the tree: inserting, appending,
// removing and replacing children.
#include "automation/dom/dom_error.h"
#include "automation/dom/node_base.h"
#include "automation/dom/tree_transplant.h"
#include "automation/text.h"

namespace ovc::dom {

namespace {

bool MayHaveChildren(DOMNodeType type) { return type == NODE_ELEMENT || type == NODE_DOCUMENT; }

HRESULT Hand(NodeBase& node, IDispatch** result) {
  if (result != nullptr) {
    *result = node.Dispatch();
    (*result)->AddRef();
  }
  return S_OK;
}

}  // namespace

bool NodeBase::IsChild(const NodeBase& node) const {
  return !node.attribute_ && node.store_ == store_ && !attribute_ && node.node_.parent() == node_;
}

bool NodeBase::IsInside(const NodeBase& ancestor) const {
  if (ancestor.store_ != store_ || ancestor.attribute_ || attribute_) return false;
  for (pugi::xml_node node = node_; node; node = node.parent()) {
    if (node == ancestor.node_) return true;
  }
  return false;
}

HRESULT NodeBase::ResolveChild(IDispatch* object, NodeBase** child) const {
  *child = FromObject(object);
  if (*child == nullptr || !IsChild(**child)) {
    return DomError(E_INVALIDARG, L"The parameter Node is not a child of this Node.");
  }
  return S_OK;
}

HRESULT NodeBase::CheckInsertion(NodeBase& child, const NodeBase* replaced) const {
  const DOMNodeType parent_type = Type();
  const DOMNodeType child_type = child.Type();
  if (!MayHaveChildren(parent_type)) {
    return DomError(E_FAIL, L"A node of this type cannot have children.");
  }
  if (child_type == NODE_ATTRIBUTE || child_type == NODE_DOCUMENT) {
    return DomError(E_INVALIDARG, L"This type of node cannot be inserted as a child.");
  }
  if (IsInside(child)) {
    return DomError(E_FAIL, L"Inserting a node or its ancestor under itself is not allowed.");
  }
  const bool declaration = child.node_.type() == pugi::node_declaration;
  if (parent_type == NODE_ELEMENT && (declaration || child_type == NODE_DOCUMENT_TYPE)) {
    return DomError(E_FAIL, L"This type of node may only stand at the top level of a document.");
  }
  if (parent_type != NODE_DOCUMENT) return S_OK;
  if (child_type == NODE_TEXT || child_type == NODE_CDATA_SECTION) {
    return DomError(E_FAIL, L"Text cannot be inserted at the top level of a document.");
  }
  const pugi::xml_node element = FirstElementChild(node_);
  const bool replaces_element = replaced != nullptr && replaced->node_ == element;
  if (child_type == NODE_ELEMENT && element && element != child.node_ && !replaces_element) {
    return DomError(E_FAIL, L"Only one top level element is allowed in an XML document.");
  }
  return S_OK;
}

HRESULT NodeBase::Insert(NodeBase& child, pugi::xml_node before, IDispatch** result) {
  if (child.node_ == before && child.store_ == store_) return Hand(child, result);
  if (!TransplantNode(child.store_, child.node_, store_, document(), node_, before)) {
    return DomError(E_FAIL, L"The node cannot be inserted at this position.");
  }
  return Hand(child, result);
}

HRESULT NodeBase::InsertBefore(IDispatch* new_child, const Variant& reference, IDispatch** result) {
  if (result != nullptr) *result = nullptr;
  NodeBase* child = FromObject(new_child);
  if (child == nullptr) return DomError(E_INVALIDARG, L"The node to insert is not an XML node.");
  const Variant position = reference.Dereferenced();
  pugi::xml_node before;
  if (position.vt() == VT_DISPATCH || position.vt() == VT_UNKNOWN) {
    IUnknown* object = position.vt() == VT_DISPATCH ? position.dispatch() : position.unknown();
    if (object != nullptr) {
      NodeBase* reference_node = FromObject(object);
      if (reference_node == nullptr || !IsChild(*reference_node)) {
        return DomError(E_INVALIDARG,
                        L"Insert position Node must be a Child of the Node to insert under.");
      }
      before = reference_node->node_;
    }
  } else if (!position.IsEmpty() && !position.IsNull() && position.vt() != VT_ERROR) {
    return DomError(E_INVALIDARG, L"The insert position must be a node or null.");
  }
  const HRESULT hr = CheckInsertion(*child, nullptr);
  return Failed(hr) ? hr : Insert(*child, before, result);
}

HRESULT NodeBase::AppendChild(IDispatch* new_child, IDispatch** result) {
  return InsertBefore(new_child, Variant(), result);
}

HRESULT NodeBase::RemoveChild(IDispatch* child_object, IDispatch** result) {
  if (result != nullptr) *result = nullptr;
  NodeBase* child = nullptr;
  HRESULT hr = ResolveChild(child_object, &child);
  if (Failed(hr)) return hr;
  if (!DetachNode(store_, child->node_, document())) return E_OUTOFMEMORY;
  return Hand(*child, result);
}

HRESULT NodeBase::ReplaceChild(IDispatch* new_child, IDispatch* old_child, IDispatch** result) {
  if (result != nullptr) *result = nullptr;
  NodeBase* replaced = nullptr;
  HRESULT hr = ResolveChild(old_child, &replaced);
  if (Failed(hr)) return hr;
  NodeBase* child = FromObject(new_child);
  if (child == nullptr) return DomError(E_INVALIDARG, L"The new node is not an XML node.");
  if (child == replaced) return Hand(*replaced, result);
  hr = CheckInsertion(*child, replaced);
  if (Succeeded(hr)) hr = Insert(*child, replaced->node_, nullptr);
  if (Failed(hr)) return hr;
  return RemoveChild(replaced->Dispatch(), result);
}

}  // namespace ovc::dom
