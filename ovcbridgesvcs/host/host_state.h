#pragma once

#include <string>
#include <utility>
#include <vector>

#include "automation/com_ptr.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/host/case_cache.h"

namespace ovc {

// What Orvan.Initialize makes of the host's workspace and cache: the two
// themselves, the field formatter for the workspace, its cases and the
// cache's unit standard names. Empty (all null) when the library has no host.
struct HostObjects {
  ComPtr<IOVWorkspace> workspace;
  ComPtr<IOVCache> cache;
  ComPtr<IOVFieldFormatter> field_formatter;
  CCaseCache case_cache;
  std::vector<std::wstring> unit_standard_names;
};

// What the host handed the library, shared by every object of the library:
// the HostObjects of the last Orvan.Initialize, and the file check-out
// service once something needs it. One per loaded library; Initialize
// replaces it and FinalCleanUp (COrvan) empties it.
//
// Objects reach the host through it:
//   ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
//   if (!workspace) return ReportError(CLSID_Bridge, L"Invalid workspace.\n...");
// The getters hand out new references, so that what a running method holds
// stays alive even when the host state is replaced under it. Not
// thread-safe: the library's objects all run on the thread that made them.
class HostState {
 public:
  // The library's host state, made on first use and kept for the life of
  // the process.
  static HostState& Current();

  HostState(const HostState&) = delete;
  HostState& operator=(const HostState&) = delete;

  // The workspace, or null when the library has none.
  ComPtr<IOVWorkspace> workspace() const { return host_.workspace; }
  // The workspace's cache, or null.
  ComPtr<IOVCache> cache() const { return host_.cache; }
  // The field formatter the library made for the workspace, or null.
  ComPtr<IOVFieldFormatter> field_formatter() const { return host_.field_formatter; }
  // The cases of the workspace; empty without a host.
  CCaseCache& case_cache() { return host_.case_cache; }
  // The cache's unit standard names in its order (the workspace default
  // first); empty without a host.
  const std::vector<std::wstring>& unit_standard_names() const { return host_.unit_standard_names; }

  // The host's file check-out service (Orvan.FileService), made on the
  // first call and kept until Clear. Raises through `frame` when it cannot
  // be made.
  ComPtr<IOVFileService> FileService(CMethodFrame& frame);

  // Replaces everything Initialize made, in one step, with `host`; the file
  // service is kept.
  void Replace(HostObjects host) noexcept { host_ = std::move(host); }

  // Drops everything, the file service too: what FinalCleanUp does.
  void Clear() noexcept;

 private:
  HostState() = default;

  HostObjects host_;
  ComPtr<IOVFileService> file_service_;
};

}  // namespace ovc
