#include "ovcbridgesvcs/transfer/link_walk.h"

#include "ovcbridgesvcs/frame/error_record.h"

namespace ovc::transfer {

bool LinkSetInRequest(CMethodFrame& frame, ILinkSet* link_set) {
  if (GotFlag(frame, link_set, &ILinkSet::get_Iterative)) return false;
  return GotFlag(frame, link_set, &ILinkSet::get_Enabled) &&
         Got(frame, link_set, &ILinkSet::get_ObjectOID) > -1;
}

bool LinkInRequest(CMethodFrame& frame, ILink* link, Direction direction, std::wstring* route) {
  if (!GotFlag(frame, link, &ILink::get_Enabled)) return false;
  *route = Got(frame, link, &ILink::get_AttribName);
  if (route->empty()) return false;
  return direction == Direction::kRead || GotFlag(frame, link, &ILink::get_Import);
}

std::wstring TakeFailureReason(HRESULT code) {
  std::wstring reason = ExtractDesc(TakeErrorDescription());
  return reason.empty() ? MessageText(code) : reason;
}

void AppendStatus(CMethodFrame& frame, ILink* link, const std::wstring& line) {
  CheckAndRaise(frame, link->AppendStatus(line));
}

}  // namespace ovc::transfer
