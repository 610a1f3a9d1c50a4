#pragma once

#include "automation/com_object.h"
#include "automation/dispatch_impl.h"
#include "automation/dom/msxml.h"

namespace ovc::dom {

class NodeBase;

// The children of a node as a live list: every call sees the children the
// node has at that moment. Holds a reference to the node.
class ChildNodeList final : public ComObject<DispatchImpl<IXMLDOMNodeList>> {
 public:
  explicit ChildNodeList(NodeBase* parent);

  // The child at `index` (from 0); null and S_FALSE past the end.
  HRESULT get_item(int32_t index, IDispatch** item) override;
  HRESULT get_length(int32_t* length) override;
  // The child after the one nextNode gave last (the first after reset);
  // null and S_FALSE at the end.
  HRESULT nextNode(IDispatch** item) override;
  HRESULT reset() override;
  // An enumerator over the children the node has now.
  HRESULT get__newEnum(IUnknown** enumerator) override;

 private:
  ComPtr<IDispatch> hold_;
  NodeBase* parent_;
  int32_t position_ = 0;
};

}  // namespace ovc::dom
