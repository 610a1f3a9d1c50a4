#pragma once

#include <string>

#include "cli/automation_client.h"
#include "cli/console.h"

namespace ovc::cli {

// The host database of --db (else OVCBRIDGE_DB, else ovcbridge.orvan in the
// current folder) opened for --user (else the login name), and the library's
// host object over it; both let go when the session ends.
class HostSession {
 public:
  explicit HostSession(const Options& options);
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  const Object& workspace() const { return workspace_; }
  const Object& host() const { return host_; }

 private:
  Object workspace_;
  Object host_;
};

// A stored Bridge opened from the host. The lock that opening takes is
// released when it ends, on every way out.
class OpenedBridge {
 public:
  explicit OpenedBridge(int32_t oid);
  ~OpenedBridge();
  OpenedBridge(const OpenedBridge&) = delete;
  OpenedBridge& operator=(const OpenedBridge&) = delete;

  const Object& bridge() const { return bridge_; }
  // Whether another user holds the Bridge's lock.
  bool locked_by_other() const { return locked_by_other_; }

 private:
  void ReleaseLockAndCleanUp() noexcept;

  int32_t oid_;
  Object bridge_;
  bool locked_by_other_ = false;
};

// The database path the options name.
std::string DatabasePath(const Options& options);

}  // namespace ovc::cli
