#include "automation/dom/static_node_list.h"

#include "automation/enum_variant.h"

namespace ovc::dom {

HRESULT StaticNodeList::get_item(int32_t index, IDispatch** item) {
  if (item == nullptr) return E_POINTER;
  if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) {
    *item = nullptr;
    return S_FALSE;
  }
  *item = ComPtr<IDispatch>(nodes_[index]).Detach();
  return S_OK;
}

HRESULT StaticNodeList::get_length(int32_t* length) {
  if (length == nullptr) return E_POINTER;
  *length = static_cast<int32_t>(nodes_.size());
  return S_OK;
}

HRESULT StaticNodeList::nextNode(IDispatch** item) {
  if (item == nullptr) return E_POINTER;
  const HRESULT hr = get_item(position_, item);
  if (*item != nullptr) ++position_;
  return hr;
}

HRESULT StaticNodeList::reset() {
  position_ = 0;
  return S_OK;
}

HRESULT StaticNodeList::get__newEnum(IUnknown** enumerator) {
  if (enumerator == nullptr) return E_POINTER;
  std::vector<Variant> values;
  values.reserve(nodes_.size());
  for (const ComPtr<IDispatch>& node : nodes_) values.emplace_back(node.get());
  *enumerator = CreateVariantEnumerator(std::move(values)).Detach();
  return S_OK;
}

}  // namespace ovc::dom
