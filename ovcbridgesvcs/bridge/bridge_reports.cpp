// The Bridge's validation before a transfer and its reports after one,
// made by the transfer engine.
#include <string_view>
#include <utility>

#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/transfer/reports.h"
#include "ovcbridgesvcs/transfer/validation.h"

namespace ovc::bridge {

HRESULT CBridge::get_Validate(OVCBRIDGETRANSFEROP op, OVCBRIDGEVALIDATE* result,
                              std::wstring* report) {
  CMethodFrame frame(L"CBridge::get_Validate");
  return RunMethod(frame, [&]() -> HRESULT {
    if (result == nullptr || report == nullptr) return E_POINTER;
    *result = ovOK;
    ResetStatus(op);
    transfer::Validation validation =
        transfer::Validate(frame, link_sets_.items(), apps_.get(), op);
    *result = validation.level;
    *report = std::move(validation.report);
    return S_OK;
  });
}

HRESULT CBridge::get_StatusReport(std::wstring* report) {
  CMethodFrame frame(L"CBridge::get_StatusReport");
  return RunMethod(frame, [&]() -> HRESULT {
    if (report == nullptr) return E_POINTER;
    *report = StoredOrLinkReport(frame, status_text_, L"Bridge Status Report:\r\n\r\n", false);
    return S_OK;
  });
}

HRESULT CBridge::get_ErrorReport(std::wstring* report) {
  CMethodFrame frame(L"CBridge::get_ErrorReport");
  return RunMethod(frame, [&]() -> HRESULT {
    if (report == nullptr) return E_POINTER;
    *report = StoredOrLinkReport(frame, error_text_, L"Bridge Error Report:\r\n\r\n", true);
    return S_OK;
  });
}

HRESULT CBridge::GetBridgeProfile(std::wstring* profile) {
  CMethodFrame frame(L"CBridge::GetBridgeProfile");
  return RunMethod(frame, [&]() -> HRESULT {
    if (profile == nullptr) return E_POINTER;
    *profile = transfer::BridgeProfile(frame, link_sets_.items());
    return S_OK;
  });
}

std::wstring CBridge::StoredOrLinkReport(CMethodFrame& frame, const std::wstring& stored,
                                         std::wstring_view heading, bool errors_only) {
  if (!stored.empty()) return stored;
  return std::wstring(heading) + transfer::LinkStatusReport(frame, link_sets_.items(), errors_only);
}

}  // namespace ovc::bridge
