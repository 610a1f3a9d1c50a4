#include "orvan/storage/copy_workspace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "orvan/json/workspace_json.h"
#include "orvan/storage/open_store.h"
#include "tests/orvan/hooked_store.h"
#include "tests/orvan/orvan_test_support.h"
#include "tests/orvan/storage/store_factory.h"

namespace ovc::orvan {
namespace {

using testing::HookedStore;
using testing::NewPumpStore;
using testing::TempDir;
using testing::WriteFile;

// The pump workspace with a record of every other kind: values, a locked and
// a free bridge saved several times, an embedded file with binary content
// held by a user, a linked file, a denied privilege and two counters.
std::unique_ptr<SqliteStore> FullStore(const TempDir& dir) {
  std::unique_ptr<SqliteStore> store = NewPumpStore(dir);
  Element real;
  real.value = 101.325;
  real.entered = 1.01325;
  real.entered_unit = "kPa";
  real.prefix = "~";
  EXPECT_TRUE(store->PutValue({1, "Pressure", 101}, {real}).ok());
  EXPECT_TRUE(store->PutValue({1, "Curve", 101}, {real, Element()}).ok());
  BridgeRecord locked{7, "B7", "ann", "45000.5", "bob", "45001", "bob", "<Bridge OID=\"7\"/>", 4};
  BridgeRecord free{9, "B9", "ann", "45000", "ann", "45000", "", "", 0};
  EXPECT_TRUE(store->PutBridge(locked).ok());
  EXPECT_TRUE(store->PutBridge(free).ok());
  EXPECT_TRUE(
      store->PutFile({3, "calc.xlsx", false, "", "bob", std::string("\0\xff\x10x", 4)}).ok());
  EXPECT_TRUE(store->PutFile({5, "sheet.xlsx", true, "/srv/sheet.xlsx", "", ""}).ok());
  EXPECT_TRUE(store->PutPrivilege({"guest", "ModifyBridge", false}).ok());
  EXPECT_TRUE(store->RaiseCounter("linkset", 812).ok());
  EXPECT_TRUE(store->RaiseCounter("other", 3).ok());
  return store;
}

// What the JSON export does not show: bridge versions and counters.
struct Unexported {
  std::vector<std::pair<int32_t, int64_t>> versions;
  std::vector<std::pair<std::string, int32_t>> counters;
  friend bool operator==(const Unexported&, const Unexported&) = default;
};

Unexported UnexportedOf(Store* store) {
  Unexported unexported;
  std::vector<BridgeRecord> bridges;
  EXPECT_TRUE(store->ListBridges(&bridges).ok());
  for (const BridgeRecord& bridge : bridges)
    unexported.versions.emplace_back(bridge.oid, bridge.version);
  std::vector<Counter> counters;
  EXPECT_TRUE(store->ListCounters(&counters).ok());
  for (const Counter& counter : counters)
    unexported.counters.emplace_back(counter.name, counter.value);
  return unexported;
}

std::string Exported(Store* store) {
  std::string json;
  EXPECT_TRUE(ExportWorkspace(store, &json).ok());
  return json;
}

TEST(CopyWorkspaceTest, ACopyHoldsEveryRecordOfTheOriginal) {
  TempDir dir;
  std::unique_ptr<SqliteStore> original = FullStore(dir);
  ASSERT_TRUE(CopyToNewWorkspace(original.get(), dir.File("copy.orvan")).ok());
  std::unique_ptr<SqliteStore> copy;
  ASSERT_TRUE(SqliteStore::Open(dir.File("copy.orvan"), SqliteStore::Mode::kOpen, &copy).ok());
  EXPECT_EQ(Exported(copy.get()), Exported(original.get()));
  EXPECT_EQ(UnexportedOf(copy.get()), UnexportedOf(original.get()));
  EXPECT_EQ(UnexportedOf(copy.get()).versions.size(), 2u);
}

TEST(CopyWorkspaceTest, AnExistingTargetIsRefusedAndLeftAsItWas) {
  TempDir dir;
  std::unique_ptr<SqliteStore> original = FullStore(dir);
  WriteFile(dir.File("notes.txt"), "not a workspace");
  NewPumpStore(dir, "other.orvan").reset();
  for (const char* name : {"notes.txt", "other.orvan", "plant.orvan"}) {
    const std::string before = testing::ReadFile(dir.File(name));
    EXPECT_FALSE(CopyToNewWorkspace(original.get(), dir.File(name)).ok()) << name;
    EXPECT_EQ(testing::ReadFile(dir.File(name)), before) << name;
  }
}

// Whichever read of the original fails, the copy fails and leaves no file.
TEST(CopyWorkspaceTest, AFailedCopyLeavesNoWorkspaceBehind) {
  TempDir dir;
  std::unique_ptr<SqliteStore> original = FullStore(dir);
  const std::string target = dir.File("copy.orvan");
  for (int fail_at = 1;; ++fail_at) {
    int calls = 0;
    HookedStore faulty(original.get(), [&](std::string_view) {
      return ++calls == fail_at ? Status::Storage("database error: disk I/O error") : Status::Ok();
    });
    if (CopyToNewWorkspace(&faulty, target).ok()) {
      EXPECT_GT(fail_at, 10) << "every kind of record was read";
      break;
    }
    ASSERT_FALSE(std::filesystem::exists(target)) << "failing at call " << fail_at;
  }
}

// SQLite -> PostgreSQL -> SQLite: both copies hold what the original does.
TEST(CopyWorkspaceTest, ARoundTripThroughPostgresqlKeepsEveryRecord) {
  if (testing::TestPostgresUri().empty()) GTEST_SKIP() << "OVC_TEST_POSTGRES_URI is not set";
  TempDir dir;
  std::unique_ptr<SqliteStore> original = FullStore(dir);
  testing::TestDatabase database;
  ASSERT_TRUE(CopyToNewWorkspace(original.get(), database.uri()).ok());
  std::unique_ptr<Store> server;
  ASSERT_TRUE(OpenStore(database.uri(), OpenMode::kOpen, &server).ok());
  ASSERT_TRUE(CopyToNewWorkspace(server.get(), dir.File("back.orvan")).ok());
  std::unique_ptr<SqliteStore> back;
  ASSERT_TRUE(SqliteStore::Open(dir.File("back.orvan"), SqliteStore::Mode::kOpen, &back).ok());
  for (Store* copy : {server.get(), static_cast<Store*>(back.get())}) {
    EXPECT_EQ(Exported(copy), Exported(original.get()));
    EXPECT_EQ(UnexportedOf(copy), UnexportedOf(original.get()));
  }
}

}  // namespace
}  // namespace ovc::orvan
