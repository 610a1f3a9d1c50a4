#include "orvan/storage/copy_workspace.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "orvan/storage/open_store.h"

namespace ovc::orvan {

namespace {

Status CopyDefinitionsAndObjects(Store* from, Store* to) {
  Catalog catalog;
  ORVAN_RETURN_IF_ERROR(from->LoadCatalog(&catalog));
  ORVAN_RETURN_IF_ERROR(to->ReplaceCatalog(catalog));
  std::vector<ObjectRecord> objects;
  ORVAN_RETURN_IF_ERROR(from->ListObjects("", &objects));
  for (const ObjectRecord& object : objects) ORVAN_RETURN_IF_ERROR(to->PutObject(object));
  std::vector<StoredValue> values;
  ORVAN_RETURN_IF_ERROR(from->ListValues(&values));
  for (const StoredValue& value : values) {
    ORVAN_RETURN_IF_ERROR(to->PutValue(value.key, value.elements));
  }
  return Status::Ok();
}

// One document in memory at a time.
Status CopyBridges(Store* from, Store* to) {
  std::vector<BridgeRecord> bridges;
  ORVAN_RETURN_IF_ERROR(from->ListBridges(&bridges));
  for (const BridgeRecord& listed : bridges) {
    BridgeRecord bridge;
    ORVAN_RETURN_IF_ERROR(from->GetBridge(listed.oid, true, &bridge));
    ORVAN_RETURN_IF_ERROR(to->PutBridge(bridge));
  }
  return Status::Ok();
}

// One file's content in memory at a time.
Status CopyFilesPrivilegesAndCounters(Store* from, Store* to) {
  std::vector<FileRecord> files;
  ORVAN_RETURN_IF_ERROR(from->ListFiles(&files));
  for (const FileRecord& listed : files) {
    FileRecord file;
    ORVAN_RETURN_IF_ERROR(from->GetFile(listed.oid, true, &file));
    ORVAN_RETURN_IF_ERROR(to->PutFile(file));
  }
  std::vector<Privilege> privileges;
  ORVAN_RETURN_IF_ERROR(from->ListPrivileges(&privileges));
  for (const Privilege& privilege : privileges) {
    ORVAN_RETURN_IF_ERROR(to->PutPrivilege(privilege));
  }
  std::vector<Counter> counters;
  ORVAN_RETURN_IF_ERROR(from->ListCounters(&counters));
  for (const Counter& counter : counters) {
    ORVAN_RETURN_IF_ERROR(to->RaiseCounter(counter.name, counter.value));
  }
  return Status::Ok();
}

// The workspace file and the files SQLite keeps beside it.
void RemoveWorkspaceFile(const std::string& path) {
  std::error_code ignored;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
    std::filesystem::remove(path + suffix, ignored);
  }
}

}  // namespace

Status CopyToNewWorkspace(Store* from, const std::string& target) {
  std::unique_ptr<Store> to;
  ORVAN_RETURN_IF_ERROR(OpenStore(target, OpenMode::kCreate, &to));
  Status copied = CopyWorkspace(from, to.get());
  to.reset();
  if (copied.ok()) return copied;
  if (IsDatabaseUri(target)) {
    return copied.Retold(copied.message() + " (the workspace at '" + DisplayLocation(target) +
                         "' was left empty)");
  }
  RemoveWorkspaceFile(target);
  return copied;
}

Status CopyWorkspace(Store* from, Store* to) {
  Transaction reading(from, false);
  ORVAN_RETURN_IF_ERROR(reading.status());
  Transaction writing(to, true);
  ORVAN_RETURN_IF_ERROR(writing.status());
  ORVAN_RETURN_IF_ERROR(CopyDefinitionsAndObjects(from, to));
  ORVAN_RETURN_IF_ERROR(CopyBridges(from, to));
  ORVAN_RETURN_IF_ERROR(CopyFilesPrivilegesAndCounters(from, to));
  ORVAN_RETURN_IF_ERROR(writing.Commit());
  return reading.Commit();
}

}  // namespace ovc::orvan
