#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "automation/com_object.h"
#include "automation/dispatch_impl.h"
#include "automation/error_info.h"
#include "automation/text.h"
#include "orvan/orvan.h"
#include "orvan/status.h"

namespace ovc::orvan::components {

// "Orvan.<Class>" for the class whose default interface is `iid`, taken from
// the type library; "Orvan" when no class has that interface.
std::wstring ComponentSource(const IID& iid);

// The status code that stands for a failed host Status: E_INVALIDARG for a
// request the caller got wrong (unknown name, bad argument), E_FAIL for the
// rest (closed workspace, refusal, storage failure).
HRESULT HresultOf(const Status& status);

// "There is no <what> at position <position>; positions run from 1 to
// <count>." (or "...; there are none." when count is 0).
std::wstring PositionError(std::wstring_view what, int32_t position, size_t count);

// A one-dimensional array (lower bound 0) of VARIANTs holding the texts
// (UTF-8 or wide).
Variant TextArray(const std::vector<std::wstring>& texts);
Variant TextArray(const std::vector<std::string>& texts);

// A pointer to `part` of the definitions `whole` holds, keeping all of them
// alive as long as it lives, so that components share instead of copying.
template <class Whole, class Part>
std::shared_ptr<const Part> Share(const std::shared_ptr<Whole>& whole, const Part* part) {
  return std::shared_ptr<const Part>(whole, part);
}

// The base of every component class: reference counting, IDispatch derived
// from interface I, ISupportErrorInfo for I, and the interfaces in Extra.
// Failures go through Fail, which leaves an error object with source
// "Orvan.<Class>" on the thread.
template <class I, class... Extra>
class Component : public ComObject<DispatchImpl<I>, ISupportErrorInfo, Extra...> {
 public:
  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == I::kIid ? S_OK : S_FALSE;
  }

 protected:
  Component() = default;

  // Sets the error object and returns `code`.
  HRESULT Fail(HRESULT code, std::wstring description) const {
    return SetErrorResult(code, std::move(description), ComponentSource(I::kIid), I::kIid);
  }
  // S_OK for a success; otherwise the status's message as error object.
  HRESULT Report(const Status& status) const {
    if (status.ok()) return S_OK;
    return Fail(HresultOf(status), FromUtf8(status.message()));
  }
  // S_OK for a position in 1..count; otherwise DISP_E_BADINDEX with an
  // error object naming `what` ("unit", "case", "object").
  HRESULT CheckPosition(std::wstring_view what, int32_t position, size_t count) const {
    if (position >= 1 && static_cast<size_t>(position) <= count) return S_OK;
    return Fail(DISP_E_BADINDEX, PositionError(what, position, count));
  }
};

}  // namespace ovc::orvan::components
