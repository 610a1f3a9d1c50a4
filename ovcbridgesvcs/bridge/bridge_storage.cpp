// The Bridge in the host database: storage, user, lock and privileges.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/links/link_values.h"

namespace ovc::bridge {

HRESULT CBridge::Create() { return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::Create"); }

HRESULT CBridge::Delete() { return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::Delete"); }

HRESULT CBridge::Open(int32_t) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::Open");
}

HRESULT CBridge::Save(VARIANT_BOOL) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::Save");
}

HRESULT CBridge::SaveAs(VARIANT_BOOL) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::SaveAs");
}

HRESULT CBridge::get_UserName(std::wstring*) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::get_UserName");
}

HRESULT CBridge::IsLocked(VARIANT_BOOL*) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::IsLocked");
}

HRESULT CBridge::ReleaseLock() {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::ReleaseLock");
}

HRESULT CBridge::CanModifyBridge(VARIANT_BOOL*) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::CanModifyBridge");
}

HRESULT CBridge::CanUseBridge(VARIANT_BOOL*) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::CanUseBridge");
}

}  // namespace ovc::bridge
