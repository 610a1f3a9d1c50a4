// The Link's case selection, resolved through its LinkSet and the Bridge
// above it.
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/links/link.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::links {
HRESULT CLink::get_CaseResolved(int32_t* oid) {
  if (oid == nullptr) return E_POINTER;
  if (!parent_) return ReportError(CLSID_Link, msg::kLinkNoParent, IID_NULL, E_FAIL);
  const ComPtr<IBridge> bridge = ParentBridge();
  if (!bridge) return ReportError(CLSID_Link, msg::kLinkNoBridge, IID_NULL, E_FAIL);
  switch (case_oid_) {
    case ovLinkSetDefault:
      return parent_->get_CaseResolved(oid);
    case ovBridgeDefault:
      return bridge->get_CaseResolved(oid);
    case ovWorkspaceDefault:
      return bridge->get_WorkspaceDefaultCase(oid);
    default:
      *oid = case_oid_;
      return S_OK;
  }
}

HRESULT CLink::get_CaseResolvedName(std::wstring* name) {
  int32_t oid = 0;
  const HRESULT resolved = get_CaseResolved(&oid);
  if (Failed(resolved)) return resolved;
  return parent_->get_CaseName(oid, name);
}

HRESULT CLink::get_SelectedCaseName(std::wstring* name) {
  if (!parent_) return E_POINTER;
  return parent_->get_CaseName(case_oid_, name);
}

HRESULT CLink::get_CaseComboList(std::wstring* list) {
  if (!parent_) return E_POINTER;
  std::wstring case_name;
  return parent_->SetCaseInfo(ovLink, case_oid_, &case_name, list);
}

}  // namespace ovc::links
