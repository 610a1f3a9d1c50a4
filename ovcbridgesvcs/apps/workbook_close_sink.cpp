#include "ovcbridgesvcs/apps/workbook_close_sink.h"

#include "ovcbridgesvcs/apps/excel_app.h"

namespace ovc::apps {

HRESULT WorkbookCloseSink::GetTypeInfoCount(uint32_t* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT WorkbookCloseSink::GetTypeInfo(uint32_t, LCID, const InterfaceInfo**) {
  return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT WorkbookCloseSink::GetIDsOfNames(const IID&, const std::wstring*, uint32_t, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}

// Arguments arrive reversed: args[1] is the workbook, args[0] the cancel
// flag by reference.
HRESULT WorkbookCloseSink::Invoke(DISPID id, const IID&, LCID, uint16_t, DISPPARAMS* params,
                                  Variant*, EXCEPINFO*, uint32_t*) {
  if (id != kWorkbookBeforeClose || params == nullptr || params->count != 2) return S_OK;
  const ComPtr<WorkbookCloseSink> keep_alive(this);  // the adapter may disconnect us
  const Variant closing = params->args[1].Dereferenced();
  if (adapter_ != nullptr && closing.vt() == VT_DISPATCH) {
    adapter_->OnWorkbookClosing(closing.dispatch());
  }
  if (params->args[0].IsByRef()) params->args[0].StoreThroughReference(Variant::Bool(false));
  return S_OK;
}

}  // namespace ovc::apps
