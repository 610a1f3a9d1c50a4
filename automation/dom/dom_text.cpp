#include "automation/dom/dom_text.h"

namespace ovc::dom {

HRESULT DomText::get_length(int32_t* length) {
  if (length == nullptr) return E_POINTER;
  std::wstring text;
  Text(&text);
  *length = static_cast<int32_t>(text.size());
  return S_OK;
}

}  // namespace ovc::dom
