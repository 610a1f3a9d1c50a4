#pragma once

#include <string>
#include <vector>

#include "automation/com_object.h"
#include "automation/dom/node_list_base.h"

namespace ovc::dom {

class DomElement;

// The attributes of an element as a live map, in their order. Holds a
// reference to the element.
class NamedNodeMap final : public ComObject<NodeListBase<IXMLDOMNamedNodeMap>> {
 public:
  explicit NamedNodeMap(DomElement* element);

  // The attribute node of `name`, or null and S_FALSE.
  HRESULT getNamedItem(const std::wstring& name, IDispatch** item) override;
  // As the element's setAttributeNode.
  HRESULT setNamedItem(IDispatch* item, IDispatch** replaced) override;
  // Takes the attribute of `name` off the element and hands it out; null and
  // S_FALSE when there is none.
  HRESULT removeNamedItem(const std::wstring& name, IDispatch** removed) override;

 protected:
  HRESULT Item(int32_t index, IDispatch** item) override;
  int32_t Length() override;
  std::vector<Variant> Values() override;

 private:
  ComPtr<IDispatch> hold_;
  DomElement* element_;
};

}  // namespace ovc::dom
