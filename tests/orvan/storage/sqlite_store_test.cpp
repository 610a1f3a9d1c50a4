#include "orvan/storage/sqlite_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include "orvan/storage/schema.h"
#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan {
namespace {

using testing::NewPumpStore;
using testing::TempDir;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs SQL on a file with a plain connection of its own.
void RawSql(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

Status OpenExisting(const std::string& path, std::unique_ptr<SqliteStore>* store) {
  return SqliteStore::Open(path, SqliteStore::Mode::kOpen, store);
}

TEST(SqliteStoreTest, CatalogAndObjectsSurviveReopening) {
  TempDir dir;
  NewPumpStore(dir).reset();
  std::unique_ptr<SqliteStore> store;
  ASSERT_TRUE(OpenExisting(dir.File("plant.orvan"), &store).ok());
  Catalog catalog;
  ASSERT_TRUE(store->LoadCatalog(&catalog).ok());
  Catalog expected = testing::PumpCatalog();
  EXPECT_EQ(catalog.unit_standards, expected.unit_standards);
  ASSERT_EQ(catalog.quantity_types.size(), 2u);
  EXPECT_EQ(catalog.quantity_types[1].units[2].system_name, "degF");
  EXPECT_EQ(catalog.quantity_types[1].units[2].offset, 459.67 * 5.0 / 9.0);
  EXPECT_EQ(catalog.quantity_types[0].standard_units, expected.quantity_types[0].standard_units);
  EXPECT_EQ(catalog.texts.substitutions, expected.texts.substitutions);
  const ClassView* pumps = catalog.FindClassView("Pumps");
  ASSERT_NE(pumps, nullptr);
  ASSERT_EQ(pumps->routes.size(), expected.class_views[0].routes.size());
  EXPECT_EQ(pumps->FindRoute("Service")->enum_texts, (std::vector<std::string>{"Water", "Oil"}));
  EXPECT_TRUE(pumps->FindRoute("Curve")->vector);
  EXPECT_TRUE(pumps->FindRoute("Serial")->read_only);
  EXPECT_EQ(catalog.default_case, 101);
  EXPECT_EQ(catalog.governing_case, 102);
  ObjectRecord object;
  ASSERT_TRUE(store->GetObject(2, &object).ok());
  EXPECT_EQ(object.name, "P-102");
  EXPECT_EQ(object.cases, std::vector<int32_t>{101});
  EXPECT_EQ(store->GetObject(99, &object).code(), Status::Code::kNotFound);
  std::vector<ObjectRecord> pumps_list;
  ASSERT_TRUE(store->ListObjects("Pumps", &pumps_list).ok());
  EXPECT_EQ(pumps_list.size(), 2u);
}

TEST(SqliteStoreTest, OpenRefusesWhatIsNotAWorkspace) {
  TempDir dir;
  std::unique_ptr<SqliteStore> store;
  EXPECT_EQ(OpenExisting(dir.File("missing.orvan"), &store).code(), Status::Code::kNotFound);

  WriteFile(dir.File("text.orvan"), std::string(4096, 'x'));
  Status status = OpenExisting(dir.File("text.orvan"), &store);
  EXPECT_EQ(status.code(), Status::Code::kNotOurs);
  EXPECT_NE(status.message().find("not a database"), std::string::npos) << status.message();

  RawSql(dir.File("other.db"), "CREATE TABLE t(x)");
  status = OpenExisting(dir.File("other.db"), &store);
  EXPECT_EQ(status.code(), Status::Code::kNotOurs);
  EXPECT_NE(status.message().find("another program"), std::string::npos) << status.message();

  NewPumpStore(dir).reset();
  RawSql(dir.File("plant.orvan"), "PRAGMA user_version=99");
  status = OpenExisting(dir.File("plant.orvan"), &store);
  EXPECT_EQ(status.code(), Status::Code::kNotOurs);
  EXPECT_NE(status.message().find("newer version"), std::string::npos) << status.message();
  EXPECT_EQ(store, nullptr);
}

TEST(SqliteStoreTest, CreateRefusesAnExistingWorkspace) {
  TempDir dir;
  NewPumpStore(dir).reset();
  std::unique_ptr<SqliteStore> store;
  Status status = SqliteStore::Open(dir.File("plant.orvan"), SqliteStore::Mode::kCreate, &store);
  EXPECT_EQ(status.code(), Status::Code::kInvalidArgument);
}

TEST(SqliteStoreTest, NewWorkspaceUsesWriteAheadLogAndCurrentSchema) {
  TempDir dir;
  auto store = NewPumpStore(dir);
  EXPECT_EQ(store->SchemaVersion(), schema::CurrentVersion());
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(store->handle(), "PRAGMA journal_mode", -1, &stmt, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "wal");
  sqlite3_finalize(stmt);
}

TEST(SqliteStoreTest, OldSchemaIsUpgradedOnOpen) {
  TempDir dir;
  std::string path = dir.File("old.orvan");
  RawSql(path, schema::Migrations()[0]);
  RawSql(path, ("PRAGMA application_id=" + std::to_string(schema::kApplicationId) +
                "; PRAGMA user_version=1")
                   .c_str());
  std::unique_ptr<SqliteStore> store;
  Status status = OpenExisting(path, &store);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(store->SchemaVersion(), schema::CurrentVersion());
  ASSERT_TRUE(store->PutPrivilege({"ann", "ModifyBridge", false}).ok());
  bool allowed = true;
  ASSERT_TRUE(store->GetPrivilege("ann", "ModifyBridge", &allowed).ok());
  EXPECT_FALSE(allowed);
  ASSERT_TRUE(store->GetPrivilege("bob", "ModifyBridge", &allowed).ok());
  EXPECT_TRUE(allowed);
}

TEST(SqliteStoreTest, RealsReadBackBitForBit) {
  TempDir dir;
  auto store = NewPumpStore(dir);
  const double reals[] = {0.1,
                          -0.0,
                          1.0 / 3.0,
                          std::numeric_limits<double>::denorm_min(),
                          std::numeric_limits<double>::max(),
                          -std::numeric_limits<double>::min(),
                          123456789012345678.0,
                          2.0};
  for (double real : reals) {
    Element element;
    element.value = real;
    element.entered = real;
    ValueKey key{1, "Pressure", 101};
    ASSERT_TRUE(store->PutValue(key, {element}).ok());
    std::vector<Element> read;
    ASSERT_TRUE(store->GetValue(key, &read).ok());
    ASSERT_EQ(read.size(), 1u);
    ASSERT_TRUE(std::holds_alternative<double>(read[0].value)) << real;
    double value = std::get<double>(read[0].value);
    EXPECT_EQ(std::memcmp(&value, &real, sizeof real), 0) << real;
    EXPECT_EQ(std::memcmp(&*read[0].entered, &real, sizeof real), 0) << real;
  }
}

TEST(SqliteStoreTest, ValuesKeepTheirKindAndElementOrder) {
  TempDir dir;
  auto store = NewPumpStore(dir);
  std::vector<Element> elements(3);
  elements[0].value = std::string("0042");  // a text that looks like a number stays a text
  elements[1].value = int64_t{7};
  elements[1].prefix = "~";
  elements[2].substitution = "N/A";
  ValueKey key{1, "Curve", 102};
  ASSERT_TRUE(store->PutValue(key, elements).ok());
  std::vector<Element> read;
  ASSERT_TRUE(store->GetValue(key, &read).ok());
  EXPECT_EQ(read, elements);
  ASSERT_TRUE(store->PutValue(key, {elements[1]}).ok());
  ASSERT_TRUE(store->GetValue(key, &read).ok());
  EXPECT_EQ(read.size(), 1u);
  ASSERT_TRUE(store->GetValue({1, "Curve", 101}, &read).ok());
  EXPECT_TRUE(read.empty());
}

TEST(SqliteStoreTest, RollbackLeavesNothingWritten) {
  TempDir dir;
  auto store = NewPumpStore(dir);
  {
    Transaction transaction(store.get(), true);
    ASSERT_TRUE(transaction.status().ok());
    Element element;
    element.value = 1.5;
    ASSERT_TRUE(store->PutValue({1, "Pressure", 101}, {element}).ok());
    BridgeRecord bridge;
    ASSERT_TRUE(store->AddBridge(&bridge).ok());
  }
  std::vector<Element> read;
  ASSERT_TRUE(store->GetValue({1, "Pressure", 101}, &read).ok());
  EXPECT_TRUE(read.empty());
  std::vector<BridgeRecord> bridges;
  ASSERT_TRUE(store->ListBridges(&bridges).ok());
  EXPECT_TRUE(bridges.empty());
}

TEST(SqliteStoreTest, BridgesFilesAndCounters) {
  TempDir dir;
  auto store = NewPumpStore(dir);
  BridgeRecord first{0, "A", "ann", "1", "ann", "2", "", "<Bridge/>"};
  BridgeRecord second{40, "B", "bob", "3", "bob", "4", "bob", ""};
  ASSERT_TRUE(store->AddBridge(&first).ok());
  ASSERT_TRUE(store->AddBridge(&second).ok());
  EXPECT_EQ(first.oid, 1);
  EXPECT_EQ(second.oid, 40);
  BridgeRecord read;
  ASSERT_TRUE(store->GetBridge(1, &read).ok());
  EXPECT_EQ(read.document, "<Bridge/>");
  EXPECT_TRUE(store->DeleteBridge(1).ok());
  EXPECT_EQ(store->DeleteBridge(1).code(), Status::Code::kNotFound);
  EXPECT_EQ(store->GetBridge(1, &read).code(), Status::Code::kNotFound);

  FileRecord file{0, "calc.xlsx", false, "", "", std::string("PK\0\x01", 4)};
  ASSERT_TRUE(store->AddFile(&file).ok());
  FileRecord stored;
  ASSERT_TRUE(store->GetFile(file.oid, false, &stored).ok());
  EXPECT_TRUE(stored.content.empty());
  ASSERT_TRUE(store->GetFile(file.oid, true, &stored).ok());
  EXPECT_EQ(stored.content, file.content);

  int32_t a = 0, b = 0, c = 0;
  ASSERT_TRUE(store->NextNumber("linkset", &a).ok());
  ASSERT_TRUE(store->NextNumber("linkset", &b).ok());
  ASSERT_TRUE(store->NextNumber("other", &c).ok());
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, 1);
}

// Two processes writing to one workspace at once lose nothing: each waits
// for the other's transaction instead of failing.
TEST(SqliteStoreTest, TwoProcessesWritingLoseNothing) {
  TempDir dir;
  NewPumpStore(dir).reset();
  std::string path = dir.File("plant.orvan");
  constexpr int kWrites = 150;
  pid_t children[2];
  for (int process = 0; process < 2; ++process) {
    children[process] = fork();
    ASSERT_GE(children[process], 0);
    if (children[process] == 0) {
      std::unique_ptr<SqliteStore> store;
      if (!OpenExisting(path, &store).ok()) _exit(2);
      for (int i = 0; i < kWrites; ++i) {
        Element element;
        element.value = static_cast<double>(i);
        int32_t bridge_number = 0;
        Transaction transaction(store.get(), true);
        if (!store->PutValue({process + 1, "Pressure", 101 + i}, {element}).ok()) _exit(3);
        if (!store->NextNumber("linkset", &bridge_number).ok()) _exit(4);
        if (!transaction.Commit().ok()) _exit(5);
      }
      store.reset();
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::unique_ptr<SqliteStore> store;
  ASSERT_TRUE(OpenExisting(path, &store).ok());
  std::vector<StoredValue> values;
  ASSERT_TRUE(store->ListValues(&values).ok());
  EXPECT_EQ(values.size(), 2u * kWrites);
  int32_t next = 0;
  ASSERT_TRUE(store->NextNumber("linkset", &next).ok());
  EXPECT_EQ(next, 2 * kWrites + 1);
}

TEST(SqliteStoreTest, ClearEmptiesTheWorkspace) {
  TempDir dir;
  auto store = NewPumpStore(dir);
  ASSERT_TRUE(store->Clear().ok());
  Catalog catalog;
  ASSERT_TRUE(store->LoadCatalog(&catalog).ok());
  EXPECT_TRUE(catalog.class_views.empty());
  EXPECT_EQ(catalog.default_case, 0);
  std::vector<ObjectRecord> objects;
  ASSERT_TRUE(store->ListObjects("", &objects).ok());
  EXPECT_TRUE(objects.empty());
}

}  // namespace
}  // namespace ovc::orvan
