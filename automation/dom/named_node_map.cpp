#include "automation/dom/named_node_map.h"

#include "automation/dom/dom_element.h"
#include "automation/dom/node_factory.h"

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

HRESULT NamedNodeMap::Item(int32_t index, IDispatch** item) {
  const pugi::xml_node element = element_->node();
  pugi::xml_attribute attribute = index < 0 ? pugi::xml_attribute() : element.first_attribute();
  for (int32_t i = 0; i < index && attribute; ++i) attribute = attribute.next_attribute();
  return WrapAttribute(element_->store(), element, attribute, element_->document(), item);
}

int32_t NamedNodeMap::Length() {
  int32_t length = 0;
  for (pugi::xml_attribute a = element_->node().first_attribute(); a; a = a.next_attribute()) {
    ++length;
  }
  return length;
}

std::vector<Variant> NamedNodeMap::Values() {
  std::vector<Variant> values;
  const pugi::xml_node element = element_->node();
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    IDispatch* object = nullptr;
    WrapAttribute(element_->store(), element, a, element_->document(), &object);
    values.push_back(Variant::AttachDispatch(object));
  }
  return values;
}

}  // namespace ovc::dom
