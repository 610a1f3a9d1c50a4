#pragma once

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {

// The host object, "OVCBridgeSvcs.Orvan": the host gives the library its
// workspace and cache through Initialize, which fills the library's
// HostState; every instance reads and changes that one shared state.
// Failures follow the library's error convention (class Orvan).
class COrvan final : public ComObject<ReentryGuardedDispatch<IOrvan>, ISupportErrorInfo> {
 public:
  COrvan() = default;

  // Replaces the whole host state (HostState::Replace) with what it makes
  // of `workspace` and `cache`. With a null `workspace`, succeeds with the
  // library left without a host. Otherwise takes `workspace` (IOVWorkspace;
  // else message 1255 and E_FAIL) and `cache` (IOVCache; else message 1256
  // and E_FAIL), makes a field formatter for the workspace, fills a case
  // cache and copies the cache's unit standard names. A host component
  // failing to make the formatter or give the names is reported with
  // message 1256 and its code; failures of the case cache are raised (see
  // CCaseCache::Fill). On failure the host state holds what was made before
  // it, e.g. the new workspace alone when the cache is refused.
  HRESULT Initialize(IDispatch* workspace, IDispatch* cache) override;
  // The held workspace, cache and field formatter: a new reference, or null.
  HRESULT get_Workspace(IDispatch** workspace) override;
  HRESULT get_OVCCache(IDispatch** cache) override;
  HRESULT get_FieldFormatter(IDispatch** formatter) override;
  // The stored Bridges: a one-dimensional array of texts from index 0, for
  // each Bridge its OID, Name, CreatedBy, DateCreated, ModifiedBy and
  // DateModified as the host wrote them. Without a workspace, reports
  // "Invalid workspace.\nFailed to get list for Bridges."; a Bridge without
  // one of the six fails with E_POINTER.
  HRESULT get_BridgeList(Variant* list) override;
  // Empties the host state (HostState::Clear). Always succeeds.
  HRESULT FinalCleanUp() override;

  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == IOrvan::kIid ? S_OK : S_FALSE;
  }

 private:
  ModuleLock module_lock_;
};

}  // namespace ovc
