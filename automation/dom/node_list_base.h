#pragma once

#include <cstdint>
#include <vector>

#include "automation/dispatch_impl.h"
#include "automation/dom/msxml.h"
#include "automation/variant.h"

namespace ovc::dom {

// The members every list of nodes shares (a node list of interface
// IXMLDOMNodeList, an attribute map of IXMLDOMNamedNodeMap), built on what
// the list holds at the time of each call.
template <class I>
class NodeListBase : public DispatchImpl<I> {
 public:
  // The node at `index` (from 0); null and S_FALSE outside the list.
  HRESULT get_item(int32_t index, IDispatch** item) override;
  HRESULT get_length(int32_t* length) override;
  // The node after the one nextNode gave last (the first after reset); null
  // and S_FALSE at the end.
  HRESULT nextNode(IDispatch** item) override;
  HRESULT reset() override;
  // An enumerator over the nodes the list holds now.
  HRESULT get__newEnum(IUnknown** enumerator) override;

 protected:
  virtual ~NodeListBase() = default;

  // The node at `index`, AddRef'd into *item, or null and S_FALSE when the
  // list holds no node there (`index` may be negative).
  virtual HRESULT Item(int32_t index, IDispatch** item) = 0;
  virtual int32_t Length() = 0;
  // The nodes, in order, as values of the enumerator.
  virtual std::vector<Variant> Values() = 0;

 private:
  int32_t position_ = 0;
};

}  // namespace ovc::dom
