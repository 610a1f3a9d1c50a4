#pragma once

#include <string>

#include "automation/com_object.h"
#include "automation/dispatch.h"

namespace ovc::apps {

class CExcelApp;

// Excel's application events as the adapter receives them.
struct IExcelAppEvents : IDispatch {
  static constexpr IID kIid = MakeGuid("00024413-0000-0000-C000-000000000046");
  using Base = IDispatch;
  static constexpr DISPID kWorkbookBeforeClose = 0x622;

 protected:
  ~IExcelAppEvents() = default;
};

// Receives WorkbookBeforeClose and tells its adapter, letting the close go
// ahead; other events are ignored. The adapter owns the sink and calls
// Detach before it goes, after which events reach nobody.
class WorkbookCloseSink final : public ComObject<IExcelAppEvents> {
 public:
  explicit WorkbookCloseSink(CExcelApp* adapter) : adapter_(adapter) {}
  void Detach() { adapter_ = nullptr; }

  HRESULT GetTypeInfoCount(uint32_t* count) override;
  HRESULT GetTypeInfo(uint32_t index, LCID locale, const InterfaceInfo** info) override;
  HRESULT GetIDsOfNames(const IID& iid, const std::wstring* names, uint32_t count, LCID locale,
                        DISPID* ids) override;
  HRESULT Invoke(DISPID id, const IID& iid, LCID locale, uint16_t flags, DISPPARAMS* params,
                 Variant* result, EXCEPINFO* exception, uint32_t* arg_error) override;

 private:
  CExcelApp* adapter_;
};

}  // namespace ovc::apps
