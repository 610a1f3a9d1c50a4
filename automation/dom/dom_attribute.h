#pragma once

#include <string>

#include "automation/com_object.h"
#include "automation/dom/node_impl.h"

namespace ovc::dom {

// An attribute node: attached to an element, or on its own after
// createAttribute, cloning or removal.
class DomAttribute final : public ComObject<NodeImpl<IXMLDOMAttribute>> {
 public:
  DomAttribute() = default;

  HRESULT get_name(std::wstring* name) override { return NodeName(name); }
  // The value as text (VT_BSTR).
  HRESULT get_value(Variant* value) override { return NodeValue(value); }
  // Sets the text of a typed value (see TypedValueText).
  HRESULT put_value(const Variant& value) override { return PutNodeValue(value); }
};

}  // namespace ovc::dom
