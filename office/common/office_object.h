#pragma once

#include <string>
#include <string_view>

#include "automation/com_object.h"
#include "automation/dispatch_impl.h"
#include "automation/error_info.h"
#include "automation/text.h"
#include "office/common/office_error.h"

namespace ovc::office {

// The base of every object of an office application: reference counting,
// IDispatch derived from interface I, ISupportErrorInfo for I and the
// interfaces in Extra. Each dispatched call first clears the thread's error
// object, then fails with RPC_E_DISCONNECTED when Disconnected() says why
// the object can no longer be used (its document closed, its application
// quit). A put by reference alone (DISPATCH_PROPERTYPUTREF without
// DISPATCH_PROPERTYPUT) fails with DISP_E_MEMBERNOTFOUND: no member takes an
// object reference. Error objects name `error_source`, the application's
// ProgID.
template <class I, class... Extra>
class OfficeObject : public ComObject<DispatchImpl<I>, ISupportErrorInfo, Extra...> {
 public:
  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == I::kIid ? S_OK : S_FALSE;
  }

  HRESULT Invoke(DISPID id, const IID& iid, LCID locale, uint16_t flags, DISPPARAMS* params,
                 Variant* result, EXCEPINFO* exception, uint32_t* arg_error) override {
    SetErrorInfo(nullptr);
    if ((flags & DISPATCH_PROPERTYPUTREF) && !(flags & DISPATCH_PROPERTYPUT)) {
      return Refuse(DISP_E_MEMBERNOTFOUND, "a property cannot be put by reference", exception);
    }
    const std::string gone = Disconnected();
    if (gone.empty()) {
      return DispatchImpl<I>::Invoke(id, iid, locale, flags, params, result, exception, arg_error);
    }
    return Refuse(RPC_E_DISCONNECTED, gone, exception);
  }

  // Empty while the object can be used; otherwise why it cannot
  // ("Book.xlsx: has been closed").
  virtual std::string Disconnected() const = 0;

 protected:
  // `error_source` has static storage.
  explicit OfficeObject(std::wstring_view error_source) : error_source_(error_source) {}

  // Sets the thread's error object for a failure of interface I.
  HRESULT Fail(HRESULT code, std::string_view description) const {
    return office::Fail(code, error_source_, I::kIid, description);
  }

  std::wstring_view error_source() const { return error_source_; }

 private:
  // Fails a call before it reaches a member, filling `exception` when given.
  HRESULT Refuse(HRESULT code, const std::string& description, EXCEPINFO* exception) const {
    if (exception != nullptr) {
      *exception = EXCEPINFO{std::wstring(error_source_), FromUtf8(description), code};
    }
    return Fail(code, description);
  }

  const std::wstring_view error_source_;
};

}  // namespace ovc::office
