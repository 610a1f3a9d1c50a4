#pragma once

#include <utility>
#include <vector>

#include "automation/com_object.h"
#include "automation/dom/node_list_base.h"

namespace ovc::dom {

// A node list fixed when it was made (the result of a selection or of a
// search by tag name): later changes of the document do not change it. Holds
// a reference to each node.
class StaticNodeList final : public ComObject<NodeListBase<IXMLDOMNodeList>> {
 public:
  explicit StaticNodeList(std::vector<ComPtr<IDispatch>> nodes) : nodes_(std::move(nodes)) {}

 protected:
  HRESULT Item(int32_t index, IDispatch** item) override;
  int32_t Length() override { return static_cast<int32_t>(nodes_.size()); }
  std::vector<Variant> Values() override;

 private:
  std::vector<ComPtr<IDispatch>> nodes_;
};

}  // namespace ovc::dom
