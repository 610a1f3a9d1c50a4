#pragma once

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>

#include "orvan/storage/postgres_store.h"
#include "orvan/storage/sqlite_store.h"
#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan::testing {

// The URI of the PostgreSQL server the tests may use (a superuser over a
// socket); empty when none is named.
inline std::string TestPostgresUri() {
  const char* uri = std::getenv("OVC_TEST_POSTGRES_URI");
  return uri ? uri : "";
}

// `uri` naming the database `name` instead of its own.
inline std::string WithDatabase(const std::string& uri, const std::string& name) {
  size_t authority = uri.find("://");
  size_t path = uri.find('/', authority == std::string::npos ? 0 : authority + 3);
  size_t query = uri.find('?', path);
  if (path == std::string::npos) return uri + "/" + name;
  return uri.substr(0, path + 1) + name + (query == std::string::npos ? "" : uri.substr(query));
}

// Runs SQL without parameters on a database: the text of the first column of
// the first row, empty without rows, "failed: ..." on an error.
inline std::string RawPostgres(const std::string& uri, const std::string& sql) {
  PGconn* conn = PQconnectdb(uri.c_str());
  PQsetNoticeProcessor(
      conn, [](void*, const char*) {}, nullptr);
  PGresult* result = PQexec(conn, sql.c_str());
  ExecStatusType status = PQresultStatus(result);
  std::string answer;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    answer = std::string("failed: ") + PQerrorMessage(conn);
  } else if (PQntuples(result) > 0 && PQnfields(result) > 0) {
    answer = PQgetvalue(result, 0, 0);
  }
  PQclear(result);
  PQfinish(conn);
  return answer;
}

// A database of its own on the test server for one test, dropped afterwards
// with whatever connections are left on it.
class TestDatabase {
 public:
  TestDatabase() {
    static std::atomic<int> serial = 0;
    name_ = "orvan_test_" + std::to_string(::getpid()) + "_" + std::to_string(++serial);
  }
  ~TestDatabase() {
    RawPostgres(TestPostgresUri(), "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
  }
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  // Creates it empty, sorting texts in German rather than by their bytes
  // where the server knows that locale; the error text, empty on success.
  std::string Create() const {
    std::string sql = "CREATE DATABASE " + name_ + " TEMPLATE template0";
    if (RawPostgres(TestPostgresUri(), sql + " LOCALE 'de_DE.utf8'").empty()) return "";
    return RawPostgres(TestPostgresUri(), sql);
  }
  const std::string& name() const { return name_; }
  std::string uri() const { return WithDatabase(TestPostgresUri(), name_); }

 private:
  std::string name_;
};

// Makes the workspace of one test in one kind of store (create), and opens
// it again as another user of the same workspace would.
class StoreFactory {
 public:
  virtual ~StoreFactory() = default;
  virtual Status Open(bool create, std::unique_ptr<Store>* store) = 0;
};

class SqliteFactory final : public StoreFactory {
 public:
  Status Open(bool create, std::unique_ptr<Store>* store) override {
    std::unique_ptr<SqliteStore> opened;
    auto mode = create ? SqliteStore::Mode::kCreate : SqliteStore::Mode::kOpen;
    Status status = SqliteStore::Open(dir_.File("plant.orvan"), mode, &opened);
    *store = std::move(opened);
    return status;
  }

 private:
  TempDir dir_;
};

class PostgresFactory final : public StoreFactory {
 public:
  PostgresFactory() { EXPECT_EQ(database_.Create(), ""); }

  Status Open(bool create, std::unique_ptr<Store>* store) override {
    std::unique_ptr<PostgresStore> opened;
    auto mode = create ? PostgresStore::Mode::kCreate : PostgresStore::Mode::kOpen;
    Status status = PostgresStore::Open(database_.uri(), database_.uri(), mode, &opened);
    *store = std::move(opened);
    return status;
  }

 private:
  TestDatabase database_;
};

}  // namespace ovc::orvan::testing
