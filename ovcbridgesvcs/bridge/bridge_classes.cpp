#include "ovcbridgesvcs/bridge/bridge_classes.h"

#include <new>

#include "automation/com_object.h"
#include "ovcbridgesvcs/bridge/bridge.h"

namespace ovc::bridge {
namespace {

// A new Bridge, constructed (FinalConstruct) before it is handed out as
// `iid`; its construction's failure is the creation's.
HRESULT CreateBridge(const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  auto* created = new (std::nothrow) CBridge();
  if (created == nullptr) return E_OUTOFMEMORY;
  const ComPtr<CBridge> bridge(created);
  const HRESULT constructed = bridge->FinalConstruct();
  if (Failed(constructed)) return constructed;
  return bridge->QueryInterface(iid, object);
}

}  // namespace

void PlugBridgeClasses(ClassTable& table) { table.Plug(CLSID_Bridge, &CreateBridge); }

}  // namespace ovc::bridge
