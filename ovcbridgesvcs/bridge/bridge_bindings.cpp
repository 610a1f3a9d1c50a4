// Bound LinkSets made from the Bridge's templates; the log of each run is
// added to the Bridge's stored report texts.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/transfer/binding_copy.h"

namespace ovc::bridge {

HRESULT CBridge::CopyBrObjectBindings(int32_t source_bridge_oid) {
  CMethodFrame frame(L"CBridge::CopyBrObjectBindings");
  return RunMethod(frame, [&] {
    AppendBindingLog(transfer::CopyObjectBindings(frame, this, source_bridge_oid));
  });
}

HRESULT CBridge::AutoCreateObjectBindings() {
  CMethodFrame frame(L"CBridge::AutoCreateObjectBindings");
  return RunMethod(frame,
                   [&] { AppendBindingLog(transfer::AutoCreateObjectBindings(frame, this)); });
}

void CBridge::AppendBindingLog(const std::wstring& log) {
  error_text_ += log;
  status_text_ += log;
}

}  // namespace ovc::bridge
