#pragma once

#include <vector>

#include "automation/com_object.h"
#include "automation/dom/node_list_base.h"

namespace ovc::dom {

class NodeBase;

// The children of a node as a live list: every call sees the children the
// node has at that moment. Holds a reference to the node.
class ChildNodeList final : public ComObject<NodeListBase<IXMLDOMNodeList>> {
 public:
  explicit ChildNodeList(NodeBase* parent);

 protected:
  HRESULT Item(int32_t index, IDispatch** item) override;
  int32_t Length() override;
  std::vector<Variant> Values() override;

 private:
  ComPtr<IDispatch> hold_;
  NodeBase* parent_;
};

}  // namespace ovc::dom
