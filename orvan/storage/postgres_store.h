#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "orvan/storage/store.h"

// libpq's connection (PGconn), kept out of this header.
struct pg_conn;

namespace ovc::orvan {

class PgParams;
class PgRows;

// The workspace in a PostgreSQL database, reached through a connection URI
// ("postgresql://user@host:port/db?..."); the password comes from the URI, the
// environment or ~/.pgpass as libpq finds it, and no message quotes it.
//
// Writers are serialised as in the embedded store: a write transaction takes
// a transaction-level advisory lock of the database in its first statement
// and holds it until Commit or Rollback, so nothing it has read can change
// underneath it. Every write outside a transaction runs in a write transaction
// of its own. A read transaction works on one snapshot (repeatable read).
class PostgresStore final : public Store {
 public:
  enum class Mode {
    kCreate,  // make the workspace in an empty database, creating the database when missing
    kOpen,    // open an existing workspace; upgrades an older schema
  };

  // On success *store owns the open workspace. Fails with kNotOurs for a
  // database without a workspace, with another program's tables, or from a
  // newer version of this host; kInvalidArgument when kCreate finds a
  // workspace already. `shown` is the location as messages may quote it.
  static Status Open(const std::string& uri, const std::string& shown, Mode mode,
                     std::unique_ptr<PostgresStore>* store);

  ~PostgresStore() override;

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

  // The schema version stored in the database; -1 when unreadable.
  int SchemaVersion();
  // The connection, for measuring the store against bare SQL.
  pg_conn* handle() const { return conn_; }

 private:
  explicit PostgresStore(pg_conn* conn) : conn_(conn) {}

  Status Initialize(Mode mode, const std::string& shown);
  Status CreateSchema(const std::string& shown);
  Status Upgrade(const std::string& shown);
  Status Exec(const char* sql);
  Status DatabaseError() const;
  Status EnsureConnected();
  // Runs sql (a string literal, prepared once per connection) with params and
  // gives the rows in binary format.
  Status Run(const char* sql, const PgParams& params, PgRows* rows);
  Status Run(const char* sql, const PgParams& params);
  // Runs a statement that changes one row by OID; kNotFound when none.
  Status ChangeOne(const char* sql, const PgParams& params, const char* kind, int32_t oid);
  Status NextOid(const char* sql, const char* kind, int32_t* oid);
  // The `size` bytes of the content of file `oid`, inside the caller's
  // transaction.
  Status ReadContent(int32_t oid, int64_t size, std::string* content);
  Status TakeWriteLock();

  // Runs fn inside a transaction of its own unless one is open; a write in a
  // read transaction takes the write lock first.
  template <typename Fn>
  Status Atomically(bool write, Fn fn);

  Status LoadUnits(Catalog* catalog);
  Status LoadClassViews(Catalog* catalog);
  Status LoadTexts(Catalog* catalog);
  Status InsertCatalog(const Catalog& catalog);
  Status InsertQuantityType(int64_t id, const QuantityType& type);
  Status InsertClassView(int64_t id, const ClassView& view);
  Status ReadCases(int32_t object, std::vector<int32_t>* cases);

  pg_conn* conn_;
  bool in_transaction_ = false;
  bool write_locked_ = false;
  std::unordered_map<const char*, std::string> prepared_;
};

}  // namespace ovc::orvan
