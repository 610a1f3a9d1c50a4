#include "automation/dom/dom_error.h"

#include "automation/error_info.h"

namespace ovc::dom {

HRESULT DomError(HRESULT code, std::wstring description) {
  return SetErrorResult(code, std::move(description), kDomErrorSource);
}

}  // namespace ovc::dom
