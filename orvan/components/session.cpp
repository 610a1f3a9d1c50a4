#include "orvan/components/session.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "automation/text.h"
#include "orvan/storage/open_store.h"

namespace ovc::orvan::components {

std::wstring LoginName() {
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr) {
    return FromUtf8(entry->pw_name);
  }
  if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
    return FromUtf8(user);
  }
  return L"user";
}

Session::Session() : user_(LoginName()) {}

Status Session::Create(const std::string& location) { return Replace(location, true); }

Status Session::Open(const std::string& location) { return Replace(location, false); }

Status Session::Replace(const std::string& location, bool create) {
  if (location.empty()) return Status::Invalid("No workspace path was given.");
  std::unique_ptr<Store> store;
  ORVAN_RETURN_IF_ERROR(OpenStore(location, create ? OpenMode::kCreate : OpenMode::kOpen, &store));
  store_ = std::move(store);
  location_ = DisplayLocation(location);
  catalog_.reset();
  return Status::Ok();
}

void Session::Close() {
  store_.reset();
  location_.clear();
  catalog_.reset();
}

Status Session::GetStore(Store** store) {
  if (store_ == nullptr) {
    return Status::Refused("The workspace is not open; call Create or Open first.");
  }
  *store = store_.get();
  return Status::Ok();
}

Status Session::GetCatalog(const Catalog** catalog) {
  std::shared_ptr<const Catalog> shared;
  ORVAN_RETURN_IF_ERROR(GetSharedCatalog(&shared));
  *catalog = shared.get();
  return Status::Ok();
}

Status Session::GetSharedCatalog(std::shared_ptr<const Catalog>* catalog) {
  Store* store = nullptr;
  ORVAN_RETURN_IF_ERROR(GetStore(&store));
  if (!catalog_) {
    auto loaded = std::make_shared<Catalog>();
    ORVAN_RETURN_IF_ERROR(store->LoadCatalog(loaded.get()));
    catalog_ = std::move(loaded);
  }
  *catalog = catalog_;
  return Status::Ok();
}

}  // namespace ovc::orvan::components
