#include "ovcbridgesvcs/apps/excel_members.h"

#include <string>

#include "ovcbridgesvcs/apps/excel_report.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/report_error.h"

namespace ovc::apps::excel {

HRESULT GetObject(IDispatch* target, LateMember& member, ComPtr<IDispatch>* object,
                  std::vector<Variant> args, CallKind kind) {
  Variant result;
  const HRESULT status = AutoWrap(kind, &result, target, member, std::move(args), CLSID_ExcelApp);
  if (Failed(status)) return status;
  if (result.vt() != VT_DISPATCH || result.dispatch() == nullptr) return E_FAIL;
  *object = ComPtr<IDispatch>(result.dispatch());
  return S_OK;
}

bool AnyItem(IDispatch* owner, LateMember& collection, LateMember& count, LateMember& item,
             HRESULT* status, const std::function<bool(IDispatch* item, HRESULT* status)>& test) {
  ComPtr<IDispatch> all;
  Variant items;
  *status = GetObject(owner, collection, &all);
  if (Succeeded(*status)) *status = Get(all.get(), count, &items);
  if (Succeeded(*status) && items.vt() != VT_I4) *status = E_FAIL;
  for (int32_t i = 1; Succeeded(*status) && i <= items.i4(); ++i) {
    ComPtr<IDispatch> each;
    *status = GetObject(all.get(), item, &each, {Variant::I4(i)}, CallKind::kMethod);
    if (Succeeded(*status) && test(each.get(), status)) return true;
  }
  return false;
}

bool SameObject(IDispatch* a, IDispatch* b) {
  if (a == nullptr || b == nullptr) return false;
  ComPtr<IUnknown> first, second;
  return Succeeded(a->QueryInterface(IUnknown::kIid, first.ReceiveVoid())) &&
         Succeeded(b->QueryInterface(IUnknown::kIid, second.ReceiveVoid())) && first == second;
}

HRESULT ReportExcel(uint32_t message, std::wstring_view suffix) {
  return ReportExcelText(LoadMessage(message).append(suffix));
}

HRESULT ReportExcelText(std::wstring_view text) {
  return ReportError(CLSID_ExcelApp, text, IExternalApp::kIid, E_FAIL);
}

}  // namespace ovc::apps::excel
