#include "cli/host_session.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "automation/text.h"
#include "orvan/storage/open_store.h"

namespace ovc::cli {
namespace {

std::string LoginName() {
  if (const passwd* account = getpwuid(geteuid()); account != nullptr) return account->pw_name;
  const char* user = std::getenv("USER");
  return user != nullptr ? user : "";
}

}  // namespace

std::string DatabasePath(const Options& options) {
  if (!options.db.empty()) return options.db;
  const char* variable = std::getenv("OVCBRIDGE_DB");
  return variable != nullptr && *variable != '\0' ? variable : "ovcbridge.orvan";
}

HostSession::HostSession(const Options& options) {
  const std::string path = DatabasePath(options);
  // Opening must not make an empty database where the user mistyped a path.
  if (!orvan::IsDatabaseUri(path) && !std::filesystem::exists(path)) {
    throw Failure{E_FAIL,
                  FromUtf8("no database at " + path +
                           " (--db PATH or OVCBRIDGE_DB; `ovcbridge db create` makes one)")};
  }
  workspace_ = Object::Create(L"Orvan.Workspace");
  workspace_.Call(L"Open", {Variant(FromUtf8(path))});
  const std::string user = options.user.empty() ? LoginName() : options.user;
  if (!user.empty()) workspace_.Put(L"UserName", Variant(FromUtf8(user)));
  host_ = Object::Create(L"OVCBridgeSvcs.Orvan");
  host_.Call(L"Initialize",
             {Variant(workspace_.get()), Variant(workspace_.GetObject(L"Cache").get())});
}

HostSession::~HostSession() {
  try {
    if (host_) host_.Call(L"FinalCleanUp");
    workspace_.Call(L"Close");
  } catch (const Failure&) {
    // Nothing is left to undo: the process ends with the session.
  }
}

OpenedBridge::OpenedBridge(int32_t oid)
    : oid_(oid), bridge_(Object::Create(L"OVCBridgeSvcs.Bridge")) {
  try {
    bridge_.Call(L"Open", {Variant(oid)});
    locked_by_other_ = bridge_.Flag(L"IsLocked");
  } catch (...) {
    ReleaseLockAndCleanUp();
    throw;
  }
}

OpenedBridge::~OpenedBridge() { ReleaseLockAndCleanUp(); }

void OpenedBridge::ReleaseLockAndCleanUp() noexcept {
  try {
    // A failed Open may have taken the lock before it failed: the OID is
    // set again so that it is released all the same.
    if (!locked_by_other_) {
      bridge_.Put(L"OID", Variant(oid_));
      bridge_.Call(L"ReleaseLock");
    }
  } catch (const Failure&) {
  }
  try {
    bridge_.Call(L"FinalCleanUp");
  } catch (const Failure&) {
  }
}

}  // namespace ovc::cli
