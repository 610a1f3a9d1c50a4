#include "orvan/storage/postgres_store.h"

#include <gtest/gtest.h>

#include "tests/orvan/storage/store_factory.h"

namespace ovc::orvan {
namespace {

using testing::RawPostgres;
using testing::TestDatabase;
using testing::TestPostgresUri;

enum class Prepared { kMissing, kEmpty, kOtherTables, kWorkspace, kNewerWorkspace };

// Leaves the test's database as `prepared` says.
void Prepare(const TestDatabase& database, Prepared prepared) {
  if (prepared == Prepared::kMissing) return;
  ASSERT_EQ(database.Create(), "");
  if (prepared == Prepared::kOtherTables) {
    ASSERT_EQ(RawPostgres(database.uri(), "CREATE TABLE parts(tag text)"), "");
  }
  if (prepared == Prepared::kWorkspace || prepared == Prepared::kNewerWorkspace) {
    std::unique_ptr<PostgresStore> store;
    ASSERT_TRUE(PostgresStore::Open(database.uri(), "", PostgresStore::Mode::kCreate, &store).ok());
  }
  if (prepared == Prepared::kNewerWorkspace) {
    ASSERT_EQ(RawPostgres(database.uri(), "UPDATE orvan_schema SET version = 99"), "");
  }
}

// Create makes a missing database; what is refused is left as it was: no
// table made, none removed.
TEST(PostgresStoreTest, OpenAndCreateRefuseWhatTheyCannotUse) {
  if (TestPostgresUri().empty()) GTEST_SKIP() << "OVC_TEST_POSTGRES_URI is not set";
  struct Case {
    Prepared prepared;
    PostgresStore::Mode mode;
    Status::Code code;
    const char* message;
    const char* tables_after;
  };
  const Case cases[] = {
      {Prepared::kMissing, PostgresStore::Mode::kCreate, Status::Code::kOk, "", "orvan_schema"},
      {Prepared::kMissing, PostgresStore::Mode::kOpen, Status::Code::kStorage, "cannot connect",
       ""},
      {Prepared::kEmpty, PostgresStore::Mode::kOpen, Status::Code::kNotOurs, "is empty", ""},
      {Prepared::kOtherTables, PostgresStore::Mode::kOpen, Status::Code::kNotOurs,
       "another program", "parts"},
      {Prepared::kOtherTables, PostgresStore::Mode::kCreate, Status::Code::kNotOurs,
       "another program", "parts"},
      {Prepared::kWorkspace, PostgresStore::Mode::kCreate, Status::Code::kInvalidArgument,
       "already exists", "orvan_schema"},
      {Prepared::kNewerWorkspace, PostgresStore::Mode::kOpen, Status::Code::kNotOurs,
       "newer version", "orvan_schema"},
  };
  for (const Case& c : cases) {
    TestDatabase database;
    Prepare(database, c.prepared);
    std::unique_ptr<PostgresStore> store;
    Status status = PostgresStore::Open(database.uri(), "the plant", c.mode, &store);
    SCOPED_TRACE(status.message());
    EXPECT_EQ(status.code(), c.code);
    EXPECT_NE(status.message().find(c.message), std::string::npos);
    if (!status.ok()) {
      EXPECT_NE(status.message().find("the plant"), std::string::npos);
      EXPECT_EQ(store, nullptr);
    }
    store.reset();
    if (c.prepared == Prepared::kMissing && !status.ok()) continue;
    EXPECT_EQ(RawPostgres(database.uri(),
                          "SELECT coalesce(string_agg(relname, ','), '') FROM pg_class "
                          "WHERE relkind = 'r' AND relname IN ('parts', 'orvan_schema')"),
              c.tables_after);
  }
}

// A session the server ended fails the operation that meets the end, in a
// transaction or not; the store then connects again and goes on.
TEST(PostgresStoreTest, StoreConnectsAgainAfterTheServerEndedItsSession) {
  if (TestPostgresUri().empty()) GTEST_SKIP() << "OVC_TEST_POSTGRES_URI is not set";
  TestDatabase database;
  std::unique_ptr<PostgresStore> store;
  ASSERT_TRUE(PostgresStore::Open(database.uri(), "", PostgresStore::Mode::kCreate, &store).ok());
  const std::string end_sessions =
      "SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE datname = '" +
      database.name() + "' AND pid <> pg_backend_pid()";
  for (bool in_transaction : {false, true}) {
    SCOPED_TRACE(in_transaction ? "in a transaction" : "alone");
    ASSERT_EQ(RawPostgres(database.uri(), end_sessions), "1");
    if (in_transaction) {
      EXPECT_EQ(store->Begin(true).code(), Status::Code::kStorage);
    } else {
      EXPECT_EQ(store->PutPrivilege({"ann", "RunBridge", false}).code(), Status::Code::kStorage);
    }
    ASSERT_TRUE(store->PutPrivilege({"ann", "RunBridge", false}).ok());
    bool allowed = true;
    ASSERT_TRUE(store->GetPrivilege("ann", "RunBridge", &allowed).ok());
    EXPECT_FALSE(allowed);
  }
}

}  // namespace
}  // namespace ovc::orvan
