#include "orvan/storage/sqlite_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "orvan/storage/schema.h"
#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan {
namespace {

using testing::NewPumpStore;
using testing::TempDir;
using testing::WriteFile;

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

TEST(SqliteStoreTest, OpenAndCreateRefuseWhatTheyCannotUse) {
  TempDir dir;
  WriteFile(dir.File("text.orvan"), std::string(4096, 'x'));
  RawSql(dir.File("other.db"), "CREATE TABLE t(x)");
  NewPumpStore(dir, "newer.orvan").reset();
  RawSql(dir.File("newer.orvan"), "PRAGMA user_version=99");
  NewPumpStore(dir).reset();
  struct Case {
    const char* file;
    SqliteStore::Mode mode;
    Status::Code code;
    const char* message;
  };
  const Case cases[] = {
      {"missing.orvan", SqliteStore::Mode::kOpen, Status::Code::kNotFound, "does not exist"},
      {"text.orvan", SqliteStore::Mode::kOpen, Status::Code::kNotOurs, "not a database"},
      {"other.db", SqliteStore::Mode::kOpen, Status::Code::kNotOurs, "another program"},
      {"newer.orvan", SqliteStore::Mode::kOpen, Status::Code::kNotOurs, "newer version"},
      {"plant.orvan", SqliteStore::Mode::kCreate, Status::Code::kInvalidArgument, "already"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<SqliteStore> store;
    Status status = SqliteStore::Open(dir.File(c.file), c.mode, &store);
    EXPECT_EQ(status.code(), c.code) << c.file;
    EXPECT_NE(status.message().find(c.message), std::string::npos) << status.message();
    EXPECT_EQ(store, nullptr);
  }
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
  EXPECT_TRUE(store->PutPrivilege({"ann", "ModifyBridge", false}).ok()) << "a table of version 2";
}

// Taking and releasing a lock changes the holder alone; a bridge read without
// its document has every other field.
TEST(SqliteStoreTest, BridgeLockChangesTheHolderAlone) {
  TempDir dir;
  std::unique_ptr<SqliteStore> store = NewPumpStore(dir);
  BridgeRecord stored{0, "B", "ann", "1", "ann", "2", "", "<Bridge/>"};
  ASSERT_TRUE(store->AddBridge(&stored).ok());
  ASSERT_TRUE(store->SetBridgeLock(stored.oid, "bob").ok());
  BridgeRecord read;
  ASSERT_TRUE(store->GetBridge(stored.oid, true, &read).ok());
  EXPECT_EQ(read.lock_holder, "bob");
  EXPECT_EQ(read.document, "<Bridge/>");
  ASSERT_TRUE(store->SetBridgeLock(stored.oid, "").ok());
  ASSERT_TRUE(store->GetBridge(stored.oid, false, &read).ok());
  EXPECT_EQ(read.lock_holder, "");
  EXPECT_EQ(read.document, "");
  EXPECT_EQ(read.name, "B");
  EXPECT_EQ(read.date_modified, "2");
  EXPECT_EQ(store->SetBridgeLock(stored.oid + 1, "bob").code(), Status::Code::kNotFound);
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

}  // namespace
}  // namespace ovc::orvan
