#include "automation/dom/static_node_list.h"

namespace ovc::dom {

HRESULT StaticNodeList::Item(int32_t index, IDispatch** item) {
  if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) return S_FALSE;
  *item = ComPtr<IDispatch>(nodes_[index]).Detach();
  return S_OK;
}

std::vector<Variant> StaticNodeList::Values() {
  std::vector<Variant> values;
  values.reserve(nodes_.size());
  for (const ComPtr<IDispatch>& node : nodes_) values.emplace_back(node.get());
  return values;
}

}  // namespace ovc::dom
