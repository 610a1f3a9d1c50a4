// Reading and writing the Links' attribute values with one host request each.
#include <string>

#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/host/data_service.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/transfer/host_attributes.h"

namespace ovc::transfer {
namespace {

struct HostRequest {
  std::wstring_view method;
  Direction direction;
  std::wstring_view no_workspace;
};

// Sends the request of `direction` and stores the answer; changes recorded
// as ApplyAttributesResponse says.
HRESULT RunHostRequest(CMethodFrame& frame, const HostTransfer& transfer,
                       const HostRequest& request, bool record_changes) {
  const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
  if (!workspace) return ReportError(CLSID_Bridge, request.no_workspace, IID_NULL, E_FAIL);
  const std::wstring text = BuildAttributesRequest(frame, transfer.link_sets, request.direction);
  const std::wstring response = CallDataService(
      frame, workspace.get(), {.service = kBridgeService, .method = request.method, .text = text});
  ApplyAttributesResponse(frame, transfer, response, request.direction, record_changes);
  return S_OK;
}

}  // namespace

HRESULT ReadFromDB(CMethodFrame& frame, const HostTransfer& transfer, bool transferring_data) {
  return RunHostRequest(frame, transfer,
                        {L"ReadAttributes", Direction::kRead,
                         L"Invalid workspace.\nFailed to read from Orvan database."},
                        transferring_data);
}

HRESULT WriteToDB(CMethodFrame& frame, const HostTransfer& transfer) {
  return RunHostRequest(frame, transfer,
                        {L"WriteAttributes", Direction::kWrite,
                         L"Invalid workspace.\nFailed to write to Orvan database."},
                        false);
}

}  // namespace ovc::transfer
