#include "ovcbridgesvcs/apps/auto_wrap.h"

#include <algorithm>
#include <string>

#include <fmt/format.h>
#include <fmt/xchar.h>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/user_interface.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {

namespace {

HRESULT ResolveName(IDispatch* target, DispIdCell& cell, std::wstring_view name,
                    const CLSID& source, DISPID* id) {
  *id = cell.id.load(std::memory_order_relaxed);
  if (*id != DISPID_UNKNOWN) return S_OK;
  const std::wstring names[] = {std::wstring(name)};
  const HRESULT status = target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
  if (Failed(status)) {
    const std::wstring text = fmt::format(
        L"IDispatch::GetIDsOfNames(\"{}\") failed w/err 0x{:08x}  App Terminated by User?", name,
        static_cast<uint32_t>(status));
    ReportError(source, text, IID_NULL, status);
    return status;
  }
  cell.id.store(*id, std::memory_order_relaxed);
  return S_OK;
}

}  // namespace

HRESULT AutoWrap(CallKind kind, Variant* result, IDispatch* target, DispIdCell& cell,
                 std::wstring_view name, std::vector<Variant> args, const CLSID& source) {
  if (target == nullptr) {
    ShowMessageBox(L"Null Pointer Passed to AutoWrap", L"AutoWrap",
                   kBoxIconError | kBoxSetForeground);
    return ReportError(source, msg::kAutoWrapNullTarget, IID_NULL, E_FAIL);
  }
  DISPID id = DISPID_UNKNOWN;
  if (const HRESULT status = ResolveName(target, cell, name, source, &id); Failed(status)) {
    return status;
  }
  std::reverse(args.begin(), args.end());
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS params;
  params.args = args.data();
  params.count = static_cast<uint32_t>(args.size());
  if (kind == CallKind::kPut) {
    params.named_ids = &put_id;
    params.named_count = 1;
  }
  return target->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, static_cast<uint16_t>(kind), &params,
                        result, nullptr, nullptr);
}

std::wstring TakeReason() { return ExtractDesc(TakeErrorDescription()); }

std::wstring WithReason(std::wstring text, std::wstring_view reason) {
  if (!reason.empty()) text.append(L" (").append(reason).append(L")");
  return text;
}

}  // namespace ovc::apps
