#include "automation/dom/named_node_map.h"

#include <vector>

#include "automation/dom/dom_element.h"
#include "automation/dom/node_factory.h"
#include "automation/enum_variant.h"

namespace ovc::dom {

NamedNodeMap::NamedNodeMap(DomElement* element) : hold_(element->Dispatch()), element_(element) {}

HRESULT NamedNodeMap::getNamedItem(const std::wstring& name, IDispatch** item) {
  return element_->getAttributeNode(name, item);
}

HRESULT NamedNodeMap::setNamedItem(IDispatch* item, IDispatch** replaced) {
  return element_->setAttributeNode(item, replaced);
}

HRESULT NamedNodeMap::removeNamedItem(const std::wstring& name, IDispatch** removed) {
  if (removed == nullptr) return E_POINTER;
  return element_->RemoveNamedAttribute(name, removed);
}

HRESULT NamedNodeMap::get_item(int32_t index, IDispatch** item) {
  if (item == nullptr) return E_POINTER;
  const pugi::xml_node element = element_->node();
  pugi::xml_attribute attribute = index < 0 ? pugi::xml_attribute() : element.first_attribute();
  for (int32_t i = 0; i < index && attribute; ++i) attribute = attribute.next_attribute();
  return WrapAttribute(element_->store(), element, attribute, element_->document(), item);
}

HRESULT NamedNodeMap::get_length(int32_t* length) {
  if (length == nullptr) return E_POINTER;
  *length = 0;
  for (pugi::xml_attribute a = element_->node().first_attribute(); a; a = a.next_attribute()) {
    ++*length;
  }
  return S_OK;
}

HRESULT NamedNodeMap::nextNode(IDispatch** item) {
  if (item == nullptr) return E_POINTER;
  const HRESULT hr = get_item(position_, item);
  if (*item != nullptr) ++position_;
  return hr;
}

HRESULT NamedNodeMap::reset() {
  position_ = 0;
  return S_OK;
}

HRESULT NamedNodeMap::get__newEnum(IUnknown** enumerator) {
  if (enumerator == nullptr) return E_POINTER;
  std::vector<Variant> values;
  const pugi::xml_node element = element_->node();
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    IDispatch* object = nullptr;
    WrapAttribute(element_->store(), element, a, element_->document(), &object);
    values.push_back(Variant::AttachDispatch(object));
  }
  *enumerator = CreateVariantEnumerator(std::move(values)).Detach();
  return S_OK;
}

}  // namespace ovc::dom
