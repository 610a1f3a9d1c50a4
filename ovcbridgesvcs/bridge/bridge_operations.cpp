// The Bridge's transfer operations between the host and its files.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/transfer/link_walk.h"

namespace ovc::bridge {

HRESULT CBridge::ResetStatus(OVCBRIDGETRANSFEROP op) {
  error_text_.clear();
  status_text_.clear();
  for (const ComPtr<ILinkSet>& link_set : link_sets_.items()) link_set->ResetStatus(op);
  return S_OK;
}

HRESULT CBridge::FinalStatus(OVCBRIDGETRANSFEROP op) {
  CMethodFrame frame(L"CBridge::FinalStatus");
  return RunMethod(frame, [&] {
    for (const ComPtr<ILinkSet>& link_set : link_sets_.items()) {
      if (transfer::GotFlag(frame, link_set.get(), &ILinkSet::get_Enabled)) {
        CheckAndRaise(frame, link_set->FinalStatus(op));
      }
    }
  });
}

}  // namespace ovc::bridge
