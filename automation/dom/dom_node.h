#pragma once

#include "automation/com_object.h"
#include "automation/dom/node_impl.h"

namespace ovc::dom {

// Any other node: comment, processing instruction, XML declaration,
// document type.
class DomNode final : public ComObject<NodeImpl<IXMLDOMNode>> {
 public:
  DomNode() = default;
};

}  // namespace ovc::dom
