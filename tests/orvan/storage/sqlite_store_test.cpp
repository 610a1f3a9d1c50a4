#include "orvan/storage/sqlite_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

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
  BridgeRecord bridge{0, "B", "ann", "1", "ann", "2", "", "<Bridge/>", 3};
  EXPECT_TRUE(store->AddBridge(&bridge).ok()) << "a column of version 3";
}

}  // namespace
}  // namespace ovc::orvan
