#include "automation/dom/node_factory.h"

#include "automation/dom/dom_attribute.h"
#include "automation/dom/dom_element.h"
#include "automation/dom/dom_node.h"
#include "automation/dom/dom_text.h"

namespace ovc::dom {

namespace {

template <class T>
IDispatch* Create(const std::shared_ptr<NodeStore>& store, pugi::xml_node node,
                  pugi::xml_attribute attribute, DomDocument* owner) {
  ComPtr<T> object = MakeObject<T>();
  object->Bind(store, node, attribute, owner);
  return object.Detach();
}

HRESULT Hand(NodeBase* existing, IDispatch** object) {
  *object = existing->Dispatch();
  (*object)->AddRef();
  return S_OK;
}

}  // namespace

HRESULT WrapNode(const std::shared_ptr<NodeStore>& store, pugi::xml_node node, DomDocument* owner,
                 IDispatch** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!node) return S_FALSE;
  if (NodeBase* existing = store->Find(node.internal_object())) return Hand(existing, object);
  switch (node.type()) {
    case pugi::node_document:
      // A document's root always has its document object; this is the root
      // of a fragment, which is no node of the DOM.
      return S_FALSE;
    case pugi::node_element:
      *object = Create<DomElement>(store, node, pugi::xml_attribute(), owner);
      break;
    case pugi::node_pcdata:
    case pugi::node_cdata:
      *object = Create<DomText>(store, node, pugi::xml_attribute(), owner);
      break;
    default:
      *object = Create<DomNode>(store, node, pugi::xml_attribute(), owner);
      break;
  }
  return S_OK;
}

HRESULT WrapAttribute(const std::shared_ptr<NodeStore>& store, pugi::xml_node element,
                      pugi::xml_attribute attribute, DomDocument* owner, IDispatch** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!attribute) return S_FALSE;
  if (NodeBase* existing = store->Find(attribute.internal_object())) return Hand(existing, object);
  *object = Create<DomAttribute>(store, element, attribute, owner);
  return S_OK;
}

}  // namespace ovc::dom
