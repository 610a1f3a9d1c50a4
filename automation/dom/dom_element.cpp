#include "automation/dom/dom_element.h"

#include "automation/dom/dom_error.h"
#include "automation/dom/named_node_map.h"
#include "automation/dom/node_factory.h"
#include "automation/dom/tree_transplant.h"
#include "automation/dom/typed_value.h"
#include "automation/dom/xml_chars.h"
#include "automation/dom/xml_name.h"
#include "automation/text.h"

namespace ovc::dom {

HRESULT DomElement::get_tagName(std::wstring* name) { return NodeName(name); }

HRESULT DomElement::getAttribute(const std::wstring& name, Variant* value) {
  if (value == nullptr) return E_POINTER;
  const pugi::xml_attribute attribute = node().attribute(ToUtf8(name).c_str());
  if (!attribute) {
    *value = Variant::Null();
    return S_FALSE;
  }
  *value = Variant(FromUtf8(attribute.value()));
  return S_OK;
}

HRESULT DomElement::setAttribute(const std::wstring& name, const Variant& value) {
  HRESULT hr = CheckXmlName(name);
  std::wstring text;
  if (Succeeded(hr)) hr = TypedValueText(value, &text);
  if (Succeeded(hr)) hr = CheckNodeText(NODE_ATTRIBUTE, text);
  if (Failed(hr)) return hr;
  const std::string utf8_name = ToUtf8(name);
  pugi::xml_node element = node();
  pugi::xml_attribute attribute = element.attribute(utf8_name.c_str());
  if (!attribute) attribute = element.append_attribute(utf8_name.c_str());
  return attribute && attribute.set_value(ToUtf8(text).c_str()) ? S_OK : E_OUTOFMEMORY;
}

HRESULT DomElement::removeAttribute(const std::wstring& name) {
  const pugi::xml_attribute attribute = node().attribute(ToUtf8(name).c_str());
  if (!attribute) return S_OK;
  return DetachAttribute(store(), node(), attribute, document()) ? S_OK : E_OUTOFMEMORY;
}

HRESULT DomElement::getAttributeNode(const std::wstring& name, IDispatch** attribute) {
  if (attribute == nullptr) return E_POINTER;
  const pugi::xml_attribute found = node().attribute(ToUtf8(name).c_str());
  return WrapAttribute(store(), node(), found, document(), attribute);
}

HRESULT DomElement::setAttributeNode(IDispatch* attribute_object, IDispatch** replaced) {
  if (replaced != nullptr) *replaced = nullptr;
  NodeBase* attribute = FromObject(attribute_object);
  if (attribute == nullptr || !attribute->attribute()) {
    return DomError(E_INVALIDARG, L"The node to attach is not an attribute.");
  }
  if (attribute->store()->kind() != NodeStore::Kind::kAttributeHolder) {
    const bool own = attribute->store() == store() && attribute->node() == node();
    return own ? S_OK
               : DomError(E_FAIL,
                          L"The attribute node belongs to another element; remove it "
                          L"there or clone it first.");
  }
  const pugi::xml_attribute existing = node().attribute(attribute->attribute().name());
  ComPtr<IDispatch> old;
  if (existing) WrapAttribute(store(), node(), existing, document(), old.Receive());
  const pugi::xml_attribute attached =
      TransplantAttribute(attribute->store(), attribute->node(), attribute->attribute(), store(),
                          document(), node(), existing);
  if (!attached) return E_OUTOFMEMORY;
  if (existing && !DetachAttribute(store(), node(), existing, document())) return E_OUTOFMEMORY;
  if (replaced != nullptr) *replaced = old.Detach();
  return S_OK;
}

HRESULT DomElement::removeAttributeNode(IDispatch* attribute_object, IDispatch** removed) {
  if (removed != nullptr) *removed = nullptr;
  NodeBase* attribute = FromObject(attribute_object);
  if (attribute == nullptr || !attribute->attribute() || attribute->store() != store() ||
      attribute->node() != node()) {
    return DomError(E_INVALIDARG, L"The attribute node is not an attribute of this element.");
  }
  if (!DetachAttribute(store(), node(), attribute->attribute(), document())) return E_OUTOFMEMORY;
  if (removed != nullptr) {
    *removed = attribute->Dispatch();
    (*removed)->AddRef();
  }
  return S_OK;
}

HRESULT DomElement::RemoveNamedAttribute(const std::wstring& name, IDispatch** removed) {
  ComPtr<IDispatch> attribute;
  const HRESULT hr = getAttributeNode(name, attribute.Receive());
  if (hr != S_OK) {
    *removed = nullptr;
    return hr;
  }
  return removeAttributeNode(attribute.get(), removed);
}

HRESULT DomElement::Attributes(IDispatch** map) {
  if (map == nullptr) return E_POINTER;
  *map = MakeObject<NamedNodeMap>(this).Detach();
  return S_OK;
}

}  // namespace ovc::dom
