#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "orvan/status.h"
#include "orvan/storage/store.h"

namespace ovc::orvan {

enum class OpenMode {
  kCreate,  // make a new workspace; an existing one is refused and left as it is
  kOpen,    // open an existing workspace
};

// True for a database server URI: "postgresql://..." or "postgres://...",
// the scheme compared by ASCII rules without regard to case. Anything else
// names a workspace file.
bool IsDatabaseUri(std::string_view location);

// The location as it may be shown to a person or written to a trace: a URI
// loses its password (user:password@ becomes user@, a password=... query
// parameter is dropped); a file path is returned unchanged.
std::string DisplayLocation(std::string_view location);

// Opens (kOpen) or creates (kCreate) the workspace at `location`, a file
// path or a database URI (PostgreSQL). On success *store owns it; on failure *store is
// untouched and the message quotes the location as DisplayLocation gives it.
Status OpenStore(const std::string& location, OpenMode mode, std::unique_ptr<Store>* store);

}  // namespace ovc::orvan
