#pragma once

#include <memory>
#include <string>

#include "orvan/status.h"
#include "orvan/storage/records.h"
#include "orvan/storage/store.h"

namespace ovc::orvan::components {

// The state behind a workspace component: the open database (if any), its
// location and the session's user. Components given the workspace share it, so
// that closing the workspace is seen by every one of them. Used by one thread
// at a time.
class Session {
 public:
  // A closed session whose user is the login name of the process.
  Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Create makes a new workspace at `location` (a file path or a database
  // URI) and opens it; Open opens an existing one. On success the session
  // holds the new database in place of the old one; on failure the session
  // is unchanged.
  Status Create(const std::string& location);
  Status Open(const std::string& location);
  // Closes the database; a no-op when closed.
  void Close();

  bool is_open() const { return store_ != nullptr; }
  // The location as it may be shown (no password); empty when closed.
  const std::string& location() const { return location_; }
  const std::wstring& user() const { return user_; }
  void set_user(std::wstring user) { user_ = std::move(user); }

  // The open database, owned by the session: valid until Close, Create or
  // Open. Fails when the workspace is not open.
  Status GetStore(Store** store);
  // The definitions of the open workspace, loaded on first use and kept
  // until the workspace changes them through this session (Forget) or
  // another database is opened. Valid until then.
  Status GetCatalog(const Catalog** catalog);
  // The same definitions, shared: they stay valid for as long as `catalog`
  // holds them, also after the session reads them again.
  Status GetSharedCatalog(std::shared_ptr<const Catalog>* catalog);
  // Makes the next GetCatalog read the definitions again.
  void ForgetCatalog() { catalog_.reset(); }

 private:
  Status Replace(const std::string& location, bool create);

  std::unique_ptr<Store> store_;
  std::string location_;
  std::wstring user_;
  std::shared_ptr<const Catalog> catalog_;
};

// The login name of the process's user: the password database entry of the
// effective user, else $USER, else "user".
std::wstring LoginName();

}  // namespace ovc::orvan::components
