// The Bridge's transfers with its application files and its change report.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/transfer/app_transfer.h"
#include "ovcbridgesvcs/transfer/change_report.h"

namespace ovc::bridge {

HRESULT CBridge::AppsTransfer(bool write, bool activate, bool change_report) {
  return transfer::AppsTransfer(FileTransfer(change_report), write, activate);
}

HRESULT CBridge::AppTransfer(int32_t file_index, bool write, bool change_report) {
  return transfer::AppTransfer(FileTransfer(change_report), file_index, write);
}

HRESULT CBridge::TransferToApp(IApp* app, bool change_report) {
  return transfer::TransferToApp(FileTransfer(change_report), app);
}

HRESULT CBridge::TransferFromApp(IApp* app, bool change_report) {
  return transfer::TransferFromApp(FileTransfer(change_report), app);
}

transfer::HostTransfer CBridge::FileTransfer(bool change_report) {
  transfer::HostTransfer files = HostTransfer();
  if (!change_report) files.record_change = {};
  return files;
}

void CBridge::AddChangeReportEntry(transfer::ChangeEntry entry) {
  transfer::AppendChangeEntry(entry, &change_report_);
}

}  // namespace ovc::bridge
