#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "orvan/storage/sqlite_statement.h"
#include "orvan/storage/store.h"

namespace ovc::orvan {

// The workspace in one SQLite file, in WAL mode so that readers never wait
// for a writer, with a busy timeout so that writers of several connections or
// processes queue instead of failing.
class SqliteStore final : public Store {
 public:
  enum class Mode {
    kCreate,  // make a new workspace; fails when the file already holds a database
    kOpen,    // open an existing workspace; upgrades an older schema
  };

  // On success *store owns the open workspace. Fails with kNotOurs for a file
  // that is not a database, is another program's database, or comes from a
  // newer version of this host; kNotFound when kOpen finds no file.
  static Status Open(const std::string& path, Mode mode, std::unique_ptr<SqliteStore>* store);

  ~SqliteStore() override;

  Status Begin(bool write) override;
  Status Commit() override;
  void Rollback() override;

  Status LoadCatalog(Catalog* catalog) override;
  Status ReplaceCatalog(const Catalog& catalog) override;

  Status GetObject(int32_t oid, ObjectRecord* object) override;
  Status ListObjects(std::string_view class_view, std::vector<ObjectRecord>* objects) override;
  Status PutObject(const ObjectRecord& object) override;

  Status GetValue(const ValueKey& key, std::vector<Element>* elements) override;
  Status PutValue(const ValueKey& key, const std::vector<Element>& elements) override;
  Status ListValues(std::vector<StoredValue>* values) override;

  Status AddBridge(BridgeRecord* bridge) override;
  Status GetBridge(int32_t oid, bool with_document, BridgeRecord* bridge) override;
  Status PutBridge(const BridgeRecord& bridge) override;
  Status SetBridgeLock(int32_t oid, std::string_view holder) override;
  Status DeleteBridge(int32_t oid) override;
  Status ListBridges(std::vector<BridgeRecord>* bridges) override;
  Status NextNumber(std::string_view counter, int32_t* number) override;
  Status RaiseCounter(std::string_view counter, int32_t at_least) override;
  Status ListCounters(std::vector<Counter>* counters) override;

  Status AddFile(FileRecord* file) override;
  Status GetFile(int32_t oid, bool with_content, FileRecord* file) override;
  Status PutFile(const FileRecord& file) override;
  Status ListFiles(std::vector<FileRecord>* files) override;

  Status GetPrivilege(std::string_view user, std::string_view name, bool* allowed) override;
  Status PutPrivilege(const Privilege& privilege) override;
  Status ListPrivileges(std::vector<Privilege>* privileges) override;

  Status Clear() override;

  // The schema version stored in the file.
  int SchemaVersion();
  // The connection, for measuring the store against bare SQL.
  sqlite3* handle() const { return db_; }

 private:
  explicit SqliteStore(sqlite3* db) : db_(db) {}

  Status Initialize(Mode mode, const std::string& path);
  Status Upgrade();
  Status Exec(const char* sql);
  // The cached prepared statement for sql (a string literal); null when it
  // does not prepare, with *status set.
  sqlite3_stmt* Prepare(const char* sql, Status* status);
  Status StorageError(const char* what) const;

  // Runs fn inside a transaction of its own unless one is open.
  template <typename Fn>
  Status Atomically(bool write, Fn fn);

  Status LoadUnits(Catalog* catalog);
  Status LoadClassViews(Catalog* catalog);
  Status LoadTexts(Catalog* catalog);
  Status InsertCatalog(const Catalog& catalog);
  Status InsertQuantityType(int64_t id, const QuantityType& type);
  Status InsertClassView(int64_t id, const ClassView& view);
  Status SetMeta(const char* key, int64_t value);

  sqlite3* db_;
  bool in_transaction_ = false;
  std::unordered_map<const char*, sqlite3_stmt*> statements_;
};

}  // namespace ovc::orvan
