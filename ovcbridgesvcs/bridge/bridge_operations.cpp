// The Bridge's transfer operations between the host and its files.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/transfer/auto_run.h"
#include "ovcbridgesvcs/transfer/link_walk.h"

namespace ovc::bridge {

// The steps an operation takes on this Bridge, with the operation's
// change-report flag.
class CBridge::OperationSteps final : public transfer::OperationSteps {
 public:
  OperationSteps(CBridge& bridge, VARIANT_BOOL change_report)
      : bridge_(bridge), change_report_(change_report != VARIANT_FALSE) {}

  IBridge* bridge() override { return &bridge_; }
  HRESULT FilesPass(bool write, bool activate) override {
    return bridge_.AppsTransfer(write, activate, change_report_);
  }
  HRESULT ReadFromHost(CMethodFrame& frame) override {
    return transfer::ReadFromDB(frame, bridge_.HostTransfer(), false);
  }
  HRESULT WriteToHost(CMethodFrame& frame) override {
    return transfer::WriteToDB(frame, bridge_.HostTransfer());
  }

 private:
  CBridge& bridge_;
  bool change_report_;
};

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

HRESULT CBridge::WriteToOrvan(VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::WriteToOrvan");
  OperationSteps steps(*this, change_report);
  return RunMethod(frame, [&] {
    ResetStatus(ovWriteToOrvan);
    transfer::WriteHost(frame, steps);
    transfer::ReadHostWritten(frame, steps);
  });
}

HRESULT CBridge::WriteToApps(VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::WriteToApps");
  return RunMethod(frame, [&] {
    ResetStatus(ovWriteToApp);
    CheckAndRaise(frame, OperationSteps(*this, change_report).FilesPass(true, true));
  });
}

HRESULT CBridge::ReadFromApps(VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::ReadFromApps");
  return RunMethod(frame, [&] {
    ResetStatus(ovReadFromApp);
    CheckAndRaise(frame, OperationSteps(*this, change_report).FilesPass(false, false));
  });
}

HRESULT CBridge::WriteToApp(int32_t file_index, VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::WriteToApp");
  return RunMethod(frame, [&] {
    ResetStatus(ovWriteToApp);
    CheckAndRaise(frame, AppTransfer(file_index, true, change_report != VARIANT_FALSE));
  });
}

HRESULT CBridge::ReadFromApp(int32_t file_index, VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::ReadFromApp");
  return RunMethod(frame, [&] {
    ResetStatus(ovReadFromApp);
    CheckAndRaise(frame, AppTransfer(file_index, false, change_report != VARIANT_FALSE));
  });
}

HRESULT CBridge::ExportOrvanToApp(VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::ExportOrvanToApp");
  return RunMethod(frame, [&] {
    CheckAndRaise(frame, OperationSteps(*this, change_report).FilesPass(true, false));
    CheckAndRaise(frame, FinalStatus(ovExportOrvanToApp));
  });
}

HRESULT CBridge::ImportOrvanFromApp(VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::ImportOrvanFromApp");
  OperationSteps steps(*this, change_report);
  return RunMethod(frame, [&] { transfer::ImportOrvanFromApp(frame, steps, paused_run_); });
}

HRESULT CBridge::AutoRun(VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::AutoRun");
  OperationSteps steps(*this, change_report);
  return RunMethod(frame, [&] { transfer::AutoRun(frame, steps, paused_run_); });
}

HRESULT CBridge::StartAutoRunWithPause(VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::StartAutoRunWithPause");
  OperationSteps steps(*this, change_report);
  return RunMethod(frame, [&] { transfer::StartAutoRunWithPause(frame, steps, paused_run_); });
}

HRESULT CBridge::ResumeAutoRunWithPause(VARIANT_BOOL change_report, VARIANT_BOOL* finished) {
  CMethodFrame frame(L"CBridge::ResumeAutoRunWithPause");
  OperationSteps steps(*this, change_report);
  return RunMethod(frame, [&]() -> HRESULT {
    if (finished == nullptr) return E_POINTER;
    *finished = ToVariantBool(transfer::ResumeAutoRunWithPause(frame, steps, paused_run_));
    return S_OK;
  });
}

HRESULT CBridge::CancelAutoRunWithPause() {
  CMethodFrame frame(L"CBridge::CancelAutoRunWithPause");
  return RunMethod(frame, [&] { transfer::CancelAutoRunWithPause(frame, this, paused_run_); });
}

HRESULT CBridge::ReadFromAppsIterative(VARIANT_BOOL change_report) {
  CMethodFrame frame(L"CBridge::ReadFromAppsIterative");
  OperationSteps steps(*this, change_report);
  return RunMethod(frame, [&] { transfer::ReadFromAppsIterative(frame, steps, paused_run_); });
}

}  // namespace ovc::bridge
