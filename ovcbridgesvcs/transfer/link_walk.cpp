#include "ovcbridgesvcs/transfer/link_walk.h"

#include "ovcbridgesvcs/frame/error_record.h"

namespace ovc::transfer {

bool LinkSetInRequest(CMethodFrame& frame, ILinkSet* link_set) {
  if (GotFlag(frame, link_set, &ILinkSet::get_Iterative)) return false;
  return GotFlag(frame, link_set, &ILinkSet::get_Enabled) &&
         Got(frame, link_set, &ILinkSet::get_ObjectOID) > -1;
}

ComPtr<ILink> LinkAt(CMethodFrame& frame, ILinkSet* link_set, int32_t index) {
  Variant item;
  CheckAndRaise(frame, link_set->get_Item(Variant::I4(index), &item));
  ComPtr<ILink> link = ComPtr<IDispatch>(item.dispatch()).As<ILink>();
  if (!link) RaiseError(frame, SourceLocation::Current(), E_NOINTERFACE);
  return link;
}

bool LinkInRequest(CMethodFrame& frame, ILink* link, Direction direction, std::wstring* route) {
  if (!GotFlag(frame, link, &ILink::get_Enabled)) return false;
  *route = Got(frame, link, &ILink::get_AttribName);
  if (route->empty()) return false;
  return direction == Direction::kRead || GotFlag(frame, link, &ILink::get_Import);
}

ComPtr<IApp> AppAt(CMethodFrame& frame, IAppCollection* apps, int32_t index) {
  Variant item;
  CheckAndRaise(frame, apps->get_Item(Variant::I4(index), &item));
  ComPtr<IApp> app = ComPtr<IDispatch>(item.dispatch()).As<IApp>();
  if (!app) RaiseError(frame, SourceLocation::Current(), E_POINTER);
  return app;
}

std::wstring TakeFailureReason(HRESULT code) {
  std::wstring reason = ExtractDesc(DescriptionOf(GetErrorInfo().get()));
  return reason.empty() ? MessageText(code) : reason;
}

void AppendStatus(CMethodFrame& frame, ILink* link, const std::wstring& line) {
  CheckAndRaise(frame, link->AppendStatus(line));
}

}  // namespace ovc::transfer
