#pragma once

#include <string>

#include "automation/com_object.h"
#include "automation/dispatch_impl.h"
#include "automation/dom/msxml.h"

namespace ovc::dom {

class DomElement;

// The attributes of an element as a live map, in their order. Holds a
// reference to the element.
class NamedNodeMap final : public ComObject<DispatchImpl<IXMLDOMNamedNodeMap>> {
 public:
  explicit NamedNodeMap(DomElement* element);

  // The attribute node of `name`, or null and S_FALSE.
  HRESULT getNamedItem(const std::wstring& name, IDispatch** item) override;
  // As the element's setAttributeNode.
  HRESULT setNamedItem(IDispatch* item, IDispatch** replaced) override;
  // Takes the attribute of `name` off the element and hands it out; null and
  // S_FALSE when there is none.
  HRESULT removeNamedItem(const std::wstring& name, IDispatch** removed) override;
  // The attribute at `index` (from 0); null and S_FALSE past the end.
  HRESULT get_item(int32_t index, IDispatch** item) override;
  HRESULT get_length(int32_t* length) override;
  HRESULT nextNode(IDispatch** item) override;
  HRESULT reset() override;
  HRESULT get__newEnum(IUnknown** enumerator) override;

 private:
  ComPtr<IDispatch> hold_;
  DomElement* element_;
  int32_t position_ = 0;
};

}  // namespace ovc::dom
