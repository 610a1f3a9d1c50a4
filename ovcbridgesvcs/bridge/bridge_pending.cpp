// Members whose work belongs to the transfer, validation and report,
// naming and binding-copy layers, which are not part of this version.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/links/link_values.h"

namespace ovc::bridge {

HRESULT CBridge::get_Validate(OVCBRIDGETRANSFEROP, OVCBRIDGEVALIDATE*, std::wstring*) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::get_Validate");
}

HRESULT CBridge::get_StatusReport(std::wstring*) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::get_StatusReport");
}

HRESULT CBridge::get_ErrorReport(std::wstring*) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::get_ErrorReport");
}

HRESULT CBridge::GetBridgeProfile(std::wstring*) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::GetBridgeProfile");
}

HRESULT CBridge::LinksetSynchNames(VARIANT_BOOL, int32_t, const std::wstring&) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::LinksetSynchNames");
}

HRESULT CBridge::BridgeSynchNames(VARIANT_BOOL) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::BridgeSynchNames");
}

HRESULT CBridge::CopyBrObjectBindings(int32_t) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::CopyBrObjectBindings");
}

HRESULT CBridge::AutoCreateObjectBindings() {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::AutoCreateObjectBindings");
}

}  // namespace ovc::bridge
