#pragma once

#include <string>

#include "automation/com_object.h"
#include "automation/dom/node_impl.h"

namespace ovc::dom {

// A text or CDATA section node.
class DomText final : public ComObject<NodeImpl<IXMLDOMText>> {
 public:
  DomText() = default;

  HRESULT get_data(std::wstring* data) override { return Text(data); }
  HRESULT put_data(const std::wstring& data) override { return PutText(data); }
  // The number of characters of the text.
  HRESULT get_length(int32_t* length) override;
};

}  // namespace ovc::dom
