#pragma once

#include <string>
#include <utility>
#include <vector>

#include "automation/com_ptr.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/host/case_cache.h"

namespace ovc {

// What the host handed the library, shared by every object of the library:
// the workspace and cache given to Orvan.Initialize, the field formatter,
// case cache and unit standard names made from them, and the file check-out
// service once something needs it. One per loaded library; Initialize
// replaces it and FinalCleanUp (COrvan) empties it.
//
// Objects reach the host through it:
//   ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
//   if (!workspace) return ReportError(CLSID_Bridge, L"Invalid workspace.\n...");
// The getters hand out new references, so that what a running method holds
// stays alive even when the host state is emptied under it. Not
// thread-safe: the library's objects all run on the thread that made them.
class HostState {
 public:
  // The library's host state, made on first use and kept for the life of
  // the process.
  static HostState& Current();

  HostState(const HostState&) = delete;
  HostState& operator=(const HostState&) = delete;

  // The workspace, or null when the library has none.
  ComPtr<IOVWorkspace> workspace() const { return workspace_; }
  // The workspace's cache, or null.
  ComPtr<IOVCache> cache() const { return cache_; }
  // The field formatter the library made for the workspace, or null.
  ComPtr<IOVFieldFormatter> field_formatter() const { return field_formatter_; }
  // The cases of the workspace; empty before Initialize.
  CCaseCache& case_cache() { return case_cache_; }
  // The cache's unit standard names in its order (the workspace default
  // first); empty before Initialize.
  const std::vector<std::wstring>& unit_standard_names() const { return unit_standard_names_; }

  // The host's file check-out service (Orvan.FileService), made on the
  // first call and kept until Clear. Raises through `frame` when it cannot
  // be made.
  ComPtr<IOVFileService> FileService(CMethodFrame& frame);

  // Setters for COrvan's Initialize (and for tests that stand in for it).
  void set_workspace(ComPtr<IOVWorkspace> workspace) { workspace_ = std::move(workspace); }
  void set_cache(ComPtr<IOVCache> cache) { cache_ = std::move(cache); }
  void set_field_formatter(ComPtr<IOVFieldFormatter> formatter) {
    field_formatter_ = std::move(formatter);
  }
  void set_unit_standard_names(std::vector<std::wstring> names) {
    unit_standard_names_ = std::move(names);
  }
  void ResetCaseCache() { case_cache_ = CCaseCache(); }

  // Drops everything: what FinalCleanUp does.
  void Clear();

 private:
  HostState() = default;

  ComPtr<IOVWorkspace> workspace_;
  ComPtr<IOVCache> cache_;
  ComPtr<IOVFieldFormatter> field_formatter_;
  ComPtr<IOVFileService> file_service_;
  CCaseCache case_cache_;
  std::vector<std::wstring> unit_standard_names_;
};

}  // namespace ovc
