// The Bridge's transfers with the host: its Links' values read from and
// written to the host database.
#include <utility>

#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/transfer/host_attributes.h"
#include "ovcbridgesvcs/transfer/progress_step.h"

namespace ovc::bridge {

// A transferring read is a host phase of its own, reported to the progress
// service before and after.
HRESULT CBridge::ReadFromOrvan(VARIANT_BOOL transferring_data, VARIANT_BOOL) {
  CMethodFrame frame(L"CBridge::ReadFromOrvan");
  return RunMethod(frame, [&]() -> HRESULT {
    if (transferring_data == VARIANT_FALSE)
      return transfer::ReadFromDB(frame, HostTransfer(), false);
    transfer::ReportStep(frame, {ProgressPhase::kHostRead, {}, {}, 0, 1});
    ResetStatus(ovReadFromOrvan);
    const HRESULT read = transfer::ReadFromDB(frame, HostTransfer(), true);
    if (Succeeded(read)) transfer::ReportStep(frame, {ProgressPhase::kHostRead, {}, {}, 1, 1});
    return read;
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
