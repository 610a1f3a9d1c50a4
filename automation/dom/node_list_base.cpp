#include "automation/dom/node_list_base.h"

#include <utility>

#include "automation/enum_variant.h"

namespace ovc::dom {

template <class I>
HRESULT NodeListBase<I>::get_item(int32_t index, IDispatch** item) {
  if (item == nullptr) return E_POINTER;
  *item = nullptr;
  return Item(index, item);
}

template <class I>
HRESULT NodeListBase<I>::get_length(int32_t* length) {
  if (length == nullptr) return E_POINTER;
  *length = Length();
  return S_OK;
}

template <class I>
HRESULT NodeListBase<I>::nextNode(IDispatch** item) {
  const HRESULT hr = get_item(position_, item);
  if (hr == S_OK) ++position_;
  return hr;
}

template <class I>
HRESULT NodeListBase<I>::reset() {
  position_ = 0;
  return S_OK;
}

template <class I>
HRESULT NodeListBase<I>::get__newEnum(IUnknown** enumerator) {
  if (enumerator == nullptr) return E_POINTER;
  *enumerator = CreateVariantEnumerator(Values()).Detach();
  return S_OK;
}

template class NodeListBase<IXMLDOMNodeList>;
template class NodeListBase<IXMLDOMNamedNodeMap>;

}  // namespace ovc::dom
