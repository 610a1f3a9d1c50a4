#include "ovcbridgesvcs/host/host_state.h"

#include "automation/class_registry.h"
#include "ovcbridgesvcs/frame/raise_error.h"

namespace ovc {

HostState& HostState::Current() {
  // Never destroyed: the host's objects it may still hold at exit belong to
  // libraries whose teardown order is unknown.
  static HostState* const state = new HostState();
  return *state;
}

ComPtr<IOVFileService> HostState::FileService(CMethodFrame& frame) {
  if (!file_service_) {
    ComPtr<IOVFileService> service;
    CheckAndRaise(frame, CoCreateInstance(CLSID_FileService, nullptr, CLSCTX_ALL,
                                          IOVFileService::kIid, service.ReceiveVoid()));
    file_service_ = std::move(service);
  }
  return file_service_;
}

void HostState::Clear() noexcept {
  Replace({});
  file_service_.Reset();
}

}  // namespace ovc
