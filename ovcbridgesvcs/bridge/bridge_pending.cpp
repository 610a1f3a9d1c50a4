// Members whose work belongs to the binding-copy layer, which is not part
// of this version.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/links/link_values.h"

namespace ovc::bridge {

HRESULT CBridge::CopyBrObjectBindings(int32_t) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::CopyBrObjectBindings");
}

HRESULT CBridge::AutoCreateObjectBindings() {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::AutoCreateObjectBindings");
}

}  // namespace ovc::bridge
