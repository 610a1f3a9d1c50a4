// The LinkSet's case and unit-standard selection, resolved through its
// Parent Bridge.
#include "automation/text.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/links/link_set.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::links {
int32_t CLinkSet::FirstObject() const { return object_oids_.empty() ? -1 : object_oids_.front(); }

HRESULT CLinkSet::get_CaseResolved(int32_t* oid) {
  if (oid == nullptr) return E_POINTER;
  if (!parent_) return ReportError(CLSID_LinkSet, msg::kLinkSetNoParent, IID_NULL, E_FAIL);
  if (case_oid_ == ovBridgeDefault) return parent_->get_CaseResolved(oid);
  if (case_oid_ == ovWorkspaceDefault) return parent_->get_WorkspaceDefaultCase(oid);
  *oid = case_oid_;
  return S_OK;
}

HRESULT CLinkSet::get_CaseName(int32_t case_oid, std::wstring* name) {
  if (!parent_) return S_OK;
  return parent_->get_CaseName(case_oid, FirstObject(), name);
}

HRESULT CLinkSet::get_SelectedCaseName(std::wstring* name) { return get_CaseName(case_oid_, name); }

HRESULT CLinkSet::SetCaseInfo(OVCBRIDGESVCSOBJ kind, int32_t case_oid, std::wstring* case_name,
                              std::wstring* combo_list) {
  if (!parent_) return S_OK;
  return parent_->SetCaseInfo(kind, FirstObject(), case_oid, case_name, combo_list);
}

HRESULT CLinkSet::get_CaseComboList(std::wstring* list) {
  if (!parent_) return E_POINTER;
  std::wstring case_name;
  return parent_->SetCaseInfo(ovLinkSet, FirstObject(), case_oid_, &case_name, list);
}

HRESULT CLinkSet::get_UnitStdSelectionList(Variant* names) {
  if (!parent_) return ReportError(CLSID_LinkSet, msg::kLinkSetNoParent, IID_NULL, E_FAIL);
  return parent_->UnitStdSelectionListByType(ovLinkSet, names);
}

HRESULT CLinkSet::get_UnitStdResolved(std::wstring* name) {
  if (name == nullptr) return E_POINTER;
  if (!parent_) return ReportError(CLSID_LinkSet, msg::kLinkSetNoParent, IID_NULL, E_FAIL);
  if (EqualsNoCase(unit_std_selected_, L"<Bridge Default>")) {
    return parent_->get_UnitStdResolved(name);
  }
  if (EqualsNoCase(unit_std_selected_, L"<Workspace Default>")) {
    return parent_->get_WorkspaceDefaultUnitStd(name);
  }
  *name = unit_std_selected_;
  return S_OK;
}

}  // namespace ovc::links
