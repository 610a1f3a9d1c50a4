// The Bridge's transfers with the host: its Links' values read from and
// written to the host database.
#include <utility>

#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/transfer/host_attributes.h"

namespace ovc::bridge {

HRESULT CBridge::ReadFromOrvan(VARIANT_BOOL transferring_data, VARIANT_BOOL) {
  CMethodFrame frame(L"CBridge::ReadFromOrvan");
  return RunMethod(frame, [&]() -> HRESULT {
    const bool transferring = transferring_data != VARIANT_FALSE;
    if (transferring) ResetStatus(ovReadFromOrvan);
    return transfer::ReadFromDB(frame, HostTransfer(), transferring);
  });
}

HRESULT CBridge::WriteToOrvan(VARIANT_BOOL) {
  CMethodFrame frame(L"CBridge::WriteToOrvan");
  return RunMethod(frame, [&]() -> HRESULT {
    ResetStatus(ovWriteToOrvan);
    const transfer::HostTransfer host = HostTransfer();
    const HRESULT written = transfer::WriteToDB(frame, host);
    if (Failed(written)) return written;
    return transfer::ReadFromDB(frame, host, false);
  });
}

transfer::HostTransfer CBridge::HostTransfer() {
  return {.link_sets = link_sets_.items(),
          .apps = apps_.get(),
          .bridge_name = name_,
          .record_change = [this](transfer::ChangeEntry entry) {
            AddChangeReportEntry(std::move(entry));
          }};
}

}  // namespace ovc::bridge
