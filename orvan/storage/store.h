#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orvan/status.h"
#include "orvan/storage/records.h"

namespace ovc::orvan {

// The narrow storage interface of a workspace. Everything the host knows
// lives behind it, so that another database can take the place of the
// embedded one. A Store is used by one thread at a time; several Stores (in
// one or several processes) may share one workspace.
//
// Every operation returns a failure Status rather than throwing. Operations
// outside a transaction run in one of their own.
class Store {
 public:
  virtual ~Store() = default;

  // Transactions do not nest. A write transaction holds the workspace's write
  // lock from its start, so that what it reads stays valid until Commit.
  virtual Status Begin(bool write) = 0;
  virtual Status Commit() = 0;
  virtual void Rollback() = 0;  // no effect outside a transaction

  // Definitions.
  virtual Status LoadCatalog(Catalog* catalog) = 0;
  virtual Status ReplaceCatalog(const Catalog& catalog) = 0;

  // Objects. GetObject fails with kNotFound for an unknown OID. An empty
  // class view lists every object. PutObject inserts or replaces.
  virtual Status GetObject(int32_t oid, ObjectRecord* object) = 0;
  virtual Status ListObjects(std::string_view class_view, std::vector<ObjectRecord>* objects) = 0;
  virtual Status PutObject(const ObjectRecord& object) = 0;

  // Values. GetValue gives no elements for a value never stored. PutValue
  // replaces all elements of the value; ListValues gives every stored value
  // ordered by object, route and case.
  virtual Status GetValue(const ValueKey& key, std::vector<Element>* elements) = 0;
  virtual Status PutValue(const ValueKey& key, const std::vector<Element>& elements) = 0;
  virtual Status ListValues(std::vector<StoredValue>* values) = 0;

  // Bridges, each with its version. AddBridge assigns a new OID when
  // bridge->oid is below 1 and stores it in bridge->oid; PutBridge inserts or
  // replaces by OID. GetBridge
  // leaves the document empty unless with_document; it and SetBridgeLock
  // (which changes the lock holder alone, empty to release) fail with
  // kNotFound for an unknown OID.
  virtual Status AddBridge(BridgeRecord* bridge) = 0;
  virtual Status GetBridge(int32_t oid, bool with_document, BridgeRecord* bridge) = 0;
  virtual Status PutBridge(const BridgeRecord& bridge) = 0;
  virtual Status SetBridgeLock(int32_t oid, std::string_view holder) = 0;
  virtual Status DeleteBridge(int32_t oid) = 0;  // kNotFound when absent
  // Bridges in OID order, without their documents.
  virtual Status ListBridges(std::vector<BridgeRecord>* bridges) = 0;
  // A new number from the named counter (1, 2, ...), unique per workspace.
  virtual Status NextNumber(std::string_view counter, int32_t* number) = 0;
  // Makes every later NextNumber of the counter greater than `at_least`.
  virtual Status RaiseCounter(std::string_view counter, int32_t at_least) = 0;
  // Every counter in name order, with the last number it gave.
  virtual Status ListCounters(std::vector<Counter>* counters) = 0;

  // Application files, as for bridges. GetFile leaves content empty unless
  // with_content; ListFiles leaves every content empty, so that a caller
  // holds one file's content at a time.
  virtual Status AddFile(FileRecord* file) = 0;
  virtual Status GetFile(int32_t oid, bool with_content, FileRecord* file) = 0;
  virtual Status PutFile(const FileRecord& file) = 0;
  virtual Status ListFiles(std::vector<FileRecord>* files) = 0;

  // Privileges: *allowed is the stored grant, true when none is stored.
  virtual Status GetPrivilege(std::string_view user, std::string_view name, bool* allowed) = 0;
  virtual Status PutPrivilege(const Privilege& privilege) = 0;
  virtual Status ListPrivileges(std::vector<Privilege>* privileges) = 0;

  // Removes every record (definitions, objects, values, bridges, files,
  // privileges and counters); the workspace stays ours and empty.
  virtual Status Clear() = 0;
};

// Runs Rollback on destruction unless committed. Begin failures are kept in
// status() and returned again by Commit.
class Transaction {
 public:
  Transaction(Store* store, bool write) : store_(store), status_(store->Begin(write)) {}
  ~Transaction() {
    if (status_.ok() && !done_) store_->Rollback();
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  const Status& status() const { return status_; }
  Status Commit() {
    if (!status_.ok()) return status_;
    done_ = true;
    return store_->Commit();
  }

 private:
  Store* store_;
  Status status_;
  bool done_ = false;
};

}  // namespace ovc::orvan
