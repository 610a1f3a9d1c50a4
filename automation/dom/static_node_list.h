#pragma once

#include <vector>

#include "automation/com_object.h"
#include "automation/dispatch_impl.h"
#include "automation/dom/msxml.h"

namespace ovc::dom {

// A node list fixed when it was made (the result of a selection or of a
// search by tag name): later changes of the document do not change it. Holds
// a reference to each node.
class StaticNodeList final : public ComObject<DispatchImpl<IXMLDOMNodeList>> {
 public:
  explicit StaticNodeList(std::vector<ComPtr<IDispatch>> nodes) : nodes_(std::move(nodes)) {}

  // The node at `index` (from 0); null and S_FALSE outside the list.
  HRESULT get_item(int32_t index, IDispatch** item) override;
  HRESULT get_length(int32_t* length) override;
  // The node after the one nextNode gave last (the first after reset); null
  // and S_FALSE at the end.
  HRESULT nextNode(IDispatch** item) override;
  HRESULT reset() override;
  HRESULT get__newEnum(IUnknown** enumerator) override;

 private:
  std::vector<ComPtr<IDispatch>> nodes_;
  int32_t position_ = 0;
};

}  // namespace ovc::dom
