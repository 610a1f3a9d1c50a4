// The Bridge's name synchronisation, carried out by the transfer engine.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/resources/message_ids.h"
#include "ovcbridgesvcs/transfer/link_walk.h"
#include "ovcbridgesvcs/transfer/name_synch.h"

namespace ovc::bridge {
namespace {

OVCBRIDGETRANSFEROP SynchOperation(VARIANT_BOOL replace) {
  return replace != VARIANT_FALSE ? ovSynchNamesReplace : ovSynchNamesAdd;
}

}  // namespace

HRESULT CBridge::BridgeSynchNames(VARIANT_BOOL replace) {
  CMethodFrame frame(L"CBridge::BridgeSynchNames");
  return RunMethod(frame, [&] {
    ResetStatus(SynchOperation(replace));
    const std::vector<ComPtr<ILinkSet>> link_sets = link_sets_.items();
    for (const ComPtr<ILinkSet>& link_set : link_sets) {
      if (transfer::GotFlag(frame, link_set.get(), &ILinkSet::get_Enabled)) {
        SynchNames(frame, link_set.get(), replace, {});
      }
    }
    RefreshLocations(frame);
  });
}

HRESULT CBridge::LinksetSynchNames(VARIANT_BOOL replace, int32_t link_set_index,
                                   const std::wstring& suffix) {
  CMethodFrame frame(L"CBridge::LinksetSynchNames");
  return RunMethod(frame, [&]() -> HRESULT {
    if (link_set_index < 0 || link_set_index >= link_sets_.count()) {
      return ReportOutOfRange(CLSID_Bridge, msg::kLinkSetIndexOutOfRange, link_set_index,
                              link_sets_.count() - 1);
    }
    ILinkSet* link_set = link_sets_.items()[link_set_index].get();
    CheckAndRaise(frame, link_set->ResetStatus(SynchOperation(replace)));
    SynchNames(frame, link_set, replace, suffix);
    RefreshLocations(frame);
    return S_OK;
  });
}

void CBridge::SynchNames(CMethodFrame& frame, ILinkSet* link_set, VARIANT_BOOL replace,
                         const std::wstring& suffix) {
  if (!apps_) RaiseError(frame, SourceLocation::Current(), E_POINTER);
  transfer::SynchNames(frame, link_set, apps_.get(), replace != VARIANT_FALSE, suffix);
}

void CBridge::RefreshLocations(CMethodFrame& frame) {
  if (apps_) CheckAndRaise(frame, apps_->RefreshLocationMap(VARIANT_FALSE));
}

}  // namespace ovc::bridge
