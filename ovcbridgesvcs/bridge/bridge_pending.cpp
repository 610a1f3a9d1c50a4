// Members whose work belongs to the naming and binding-copy layers, which
// are not part of this version.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/links/link_values.h"

namespace ovc::bridge {

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
