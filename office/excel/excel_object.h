#pragma once

#include <string>
#include <string_view>

#include "automation/com_object.h"
#include "automation/dispatch_impl.h"
#include "automation/error_info.h"
#include "automation/text.h"
#include "office/excel/excel_error.h"

namespace ovc::excel {

// The base of every object of the application: reference counting, IDispatch
// derived from interface I, ISupportErrorInfo for I and the interfaces in
// Extra. Each dispatched call first clears the thread's error object, then
// fails with RPC_E_DISCONNECTED when Disconnected() says why the object can
// no longer be used (its workbook closed, its application quit).
template <class I, class... Extra>
class ExcelObject : public ComObject<DispatchImpl<I>, ISupportErrorInfo, Extra...> {
 public:
  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == I::kIid ? S_OK : S_FALSE;
  }

  HRESULT Invoke(DISPID id, const IID& iid, LCID locale, uint16_t flags, DISPPARAMS* params,
                 Variant* result, EXCEPINFO* exception, uint32_t* arg_error) override {
    SetErrorInfo(nullptr);
    const std::string gone = Disconnected();
    if (gone.empty()) {
      return DispatchImpl<I>::Invoke(id, iid, locale, flags, params, result, exception, arg_error);
    }
    if (exception != nullptr) {
      *exception = EXCEPINFO{std::wstring(kErrorSource), FromUtf8(gone), RPC_E_DISCONNECTED};
    }
    return Fail(RPC_E_DISCONNECTED, gone);
  }

  // Empty while the object can be used; otherwise why it cannot
  // ("Book.xlsx: has been closed").
  virtual std::string Disconnected() const = 0;

 protected:
  ExcelObject() = default;

  // Sets the thread's error object for a failure of interface I.
  HRESULT Fail(HRESULT code, std::string_view description) const {
    return excel::Fail(code, I::kIid, description);
  }
};

}  // namespace ovc::excel
