#pragma once

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "orvan/storage/store.h"

namespace ovc::orvan::testing {

// Passes every call on to a real store after asking `before`, with the
// method's name, whether to: a failure it gives is the call's answer instead
// (a Commit it fails rolls back, as a failing real one does).
class HookedStore final : public Store {
 public:
  using Hook = std::function<Status(std::string_view method)>;

  HookedStore(Store* store, Hook before) : store_(store), before_(std::move(before)) {}

  Status Commit() override {
    Status hooked = before_("Commit");
    if (hooked.ok()) return store_->Commit();
    store_->Rollback();
    return hooked;
  }
  void Rollback() override { store_->Rollback(); }

#define OVC_PASS(method, parameters, ...)                      \
  Status method parameters override {                          \
    Status hooked = before_(#method);                          \
    return hooked.ok() ? store_->method(__VA_ARGS__) : hooked; \
  }
  OVC_PASS(Begin, (bool write), write)
  OVC_PASS(LoadCatalog, (Catalog * c), c)
  OVC_PASS(ReplaceCatalog, (const Catalog& c), c)
  OVC_PASS(GetObject, (int32_t oid, ObjectRecord* o), oid, o)
  OVC_PASS(ListObjects, (std::string_view view, std::vector<ObjectRecord>* o), view, o)
  OVC_PASS(PutObject, (const ObjectRecord& o), o)
  OVC_PASS(GetValue, (const ValueKey& key, std::vector<Element>* e), key, e)
  OVC_PASS(PutValue, (const ValueKey& key, const std::vector<Element>& e), key, e)
  OVC_PASS(ListValues, (std::vector<StoredValue> * v), v)
  OVC_PASS(AddBridge, (BridgeRecord * b), b)
  OVC_PASS(GetBridge, (int32_t oid, bool document, BridgeRecord* b), oid, document, b)
  OVC_PASS(PutBridge, (const BridgeRecord& b), b)
  OVC_PASS(SetBridgeLock, (int32_t oid, std::string_view holder), oid, holder)
  OVC_PASS(DeleteBridge, (int32_t oid), oid)
  OVC_PASS(ListBridges, (std::vector<BridgeRecord> * b), b)
  OVC_PASS(NextNumber, (std::string_view counter, int32_t* n), counter, n)
  OVC_PASS(RaiseCounter, (std::string_view counter, int32_t at_least), counter, at_least)
  OVC_PASS(ListCounters, (std::vector<Counter> * c), c)
  OVC_PASS(AddFile, (FileRecord * f), f)
  OVC_PASS(GetFile, (int32_t oid, bool content, FileRecord* f), oid, content, f)
  OVC_PASS(PutFile, (const FileRecord& f), f)
  OVC_PASS(ListFiles, (std::vector<FileRecord> * f), f)
  OVC_PASS(GetPrivilege, (std::string_view user, std::string_view name, bool* allowed), user, name,
           allowed)
  OVC_PASS(PutPrivilege, (const Privilege& p), p)
  OVC_PASS(ListPrivileges, (std::vector<Privilege> * p), p)
  OVC_PASS(Clear, ())
#undef OVC_PASS

 private:
  Store* store_;
  Hook before_;
};

}  // namespace ovc::orvan::testing
