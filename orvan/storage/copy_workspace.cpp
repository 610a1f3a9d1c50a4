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

// Copies every record `list` gives, each fetched whole with `get` and stored
// with `put` in turn, so that one document or file content is in memory at a
// time.
template <class Record>
Status CopyOneByOne(Store* from, Store* to, Status (Store::*list)(std::vector<Record>*),
                    Status (Store::*get)(int32_t, bool, Record*),
                    Status (Store::*put)(const Record&)) {
  std::vector<Record> listed;
  ORVAN_RETURN_IF_ERROR((from->*list)(&listed));
  for (const Record& entry : listed) {
    Record record;
    ORVAN_RETURN_IF_ERROR((from->*get)(entry.oid, true, &record));
    ORVAN_RETURN_IF_ERROR((to->*put)(record));
  }
  return Status::Ok();
}

Status CopyPrivilegesAndCounters(Store* from, Store* to) {
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
  ORVAN_RETURN_IF_ERROR(
      CopyOneByOne(from, to, &Store::ListBridges, &Store::GetBridge, &Store::PutBridge));
  ORVAN_RETURN_IF_ERROR(
      CopyOneByOne(from, to, &Store::ListFiles, &Store::GetFile, &Store::PutFile));
  ORVAN_RETURN_IF_ERROR(CopyPrivilegesAndCounters(from, to));
  ORVAN_RETURN_IF_ERROR(writing.Commit());
  return reading.Commit();
}

}  // namespace ovc::orvan
