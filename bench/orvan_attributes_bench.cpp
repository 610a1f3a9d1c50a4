// "ReadAttributes" and "WriteAttributes" of 1,000 objects x 20 routes through
// the data service, against the bare prepared SQL statements that read and
// write the same values on the same connection. Runs on the embedded store
// and, given `--store postgres`, also on PostgreSQL: in a database of its own
// on the server that OVC_TEST_POSTGRES_URI names (dropped at the end; see
// scripts/postgres.sh for a throwaway server). Prints service/SQL ratios,
// the two stores side by side.

#include <benchmark/benchmark.h>
#include <endian.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/ratio_reporter.h"
#include "orvan/service/data_service.h"
#include "orvan/storage/open_store.h"
#include "orvan/storage/postgres_statement.h"
#include "orvan/storage/postgres_store.h"
#include "orvan/storage/sqlite_store.h"

namespace ovc::orvan {
namespace {

constexpr int kObjects = 1000;
constexpr int kRoutes = 20;
constexpr int kCase = 101;

std::string RouteName(int route) { return "R" + std::to_string(route); }
// Every route's name, made once per benchmark rather than per statement.
std::vector<std::string> RouteNames() {
  std::vector<std::string> routes;
  for (int r = 0; r < kRoutes; ++r) routes.push_back(RouteName(r));
  return routes;
}
double ValueOf(int object, int route) { return object * 0.001 + route * 1.25; }

// Runs one statement without parameters on a connection of its own; false
// with the server's message on stderr when it fails.
bool RunOnServer(const std::string& uri, const std::string& sql) {
  PGconn* conn = PQconnectdb(uri.c_str());
  PQsetNoticeProcessor(
      conn, [](void*, const char*) {}, nullptr);
  PGresult* result = PQstatus(conn) == CONNECTION_OK ? PQexec(conn, sql.c_str()) : nullptr;
  const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
  if (!ok) std::fprintf(stderr, "%s: %s", sql.c_str(), PQerrorMessage(conn));
  PQclear(result);
  PQfinish(conn);
  return ok;
}

// Where a benchmark's workspace lives: a file in a fresh folder, or a fresh
// database on the PostgreSQL server. Removed when the object goes.
class Place {
 public:
  static Place File() {
    char pattern[] = "/tmp/orvan-bench-XXXXXX";
    Place place;
    place.folder_ = mkdtemp(pattern);
    place.location_ = place.folder_ + "/bench.orvan";
    return place;
  }
  static Place Database(const std::string& server_uri) {
    Place place;
    place.server_uri_ = server_uri;
    place.database_ = "ovc_bench_" + std::to_string(getpid());
    RunOnServer(server_uri, "DROP DATABASE IF EXISTS " + place.database_);
    RunOnServer(server_uri, "CREATE DATABASE " + place.database_);
    // The server's URI with the database name replaced.
    const size_t query = std::min(server_uri.find('?'), server_uri.size());
    const size_t path = std::min(server_uri.find('/', server_uri.find("://") + 3), query);
    place.location_ = server_uri.substr(0, path) + "/" + place.database_ + server_uri.substr(query);
    return place;
  }
  Place(Place&& other) noexcept { *this = std::move(other); }
  Place& operator=(Place&& other) noexcept {
    std::swap(folder_, other.folder_);
    std::swap(server_uri_, other.server_uri_);
    std::swap(database_, other.database_);
    std::swap(location_, other.location_);
    return *this;
  }
  ~Place() {
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
    if (!database_.empty())
      RunOnServer(server_uri_, "DROP DATABASE " + database_ + " WITH (FORCE)");
  }

  const std::string& location() const { return location_; }

 private:
  Place() = default;

  std::string folder_;
  std::string server_uri_;
  std::string database_;
  std::string location_;
};

// A workspace of kObjects objects of one class view with kRoutes real routes
// in kPa, each value stored once.
class Fixture {
 public:
  explicit Fixture(Place place) : place_(std::move(place)) {
    Status opened = OpenStore(place_.location(), OpenMode::kCreate, &store_);
    if (!opened.ok()) {
      std::fprintf(stderr, "%s\n", opened.message().c_str());
      std::exit(1);
    }
    Catalog catalog;
    catalog.unit_standards = {"SI"};
    catalog.quantity_types = {
        {"Pressure", {{"Pa", "Pa", 1, 0}, {"kPa", "kPa", 1000, 0}}, {{"SI", "kPa"}}}};
    ClassView view{"Bench", {}};
    for (int r = 0; r < kRoutes; ++r) {
      view.routes.push_back({RouteName(r), AttributeType::kReal, "Pressure", false, false, {}});
    }
    catalog.class_views = {view};
    catalog.cases = {{kCase, "Design"}};
    catalog.default_case = kCase;
    Transaction transaction(store_.get(), true);
    store_->ReplaceCatalog(catalog);
    for (int o = 1; o <= kObjects; ++o)
      store_->PutObject({o, "O" + std::to_string(o), "Bench", {}});
    transaction.Commit();
    service_ = std::make_unique<DataService>(store_.get(), L"bench");
    read_request_ = Request(false);
    write_request_ = Request(true);
    ServiceResponse first =
        service_->Execute({L"OVDBBridgeSvcs.Main", L"WriteAttributes", write_request_, {}});
    if (!first.status.ok()) std::fprintf(stderr, "%s\n", first.status.message().c_str());
  }
  ~Fixture() {
    service_.reset();
    store_.reset();
  }

  DataService& service() { return *service_; }
  // The store's own connection of type T (SqliteStore or PostgresStore).
  template <class T>
  auto handle() {
    return dynamic_cast<T&>(*store_).handle();
  }
  const std::wstring& read_request() const { return read_request_; }
  const std::wstring& write_request() const { return write_request_; }

 private:
  static std::wstring Request(bool write) {
    std::wstring text = L"<?xml version=\"1.0\"?><Objects>";
    for (int o = 1; o <= kObjects; ++o) {
      text += L"<Object OID=\"" + std::to_wstring(o) + L"\" ClassView=\"Bench\"><Attributes>";
      for (int r = 0; r < kRoutes; ++r) {
        text += L"<Attribute Route=\"R" + std::to_wstring(r) + L"\" Case=\"101\" Units=\"kPa\"";
        if (!write) {
          text += L"/>";
          continue;
        }
        char number[32];
        std::snprintf(number, sizeof number, "%.17g", ValueOf(o, r));
        text += L"><Values><Value Quantity=\"" +
                std::wstring(number, number + std::strlen(number)) +
                L"\" Prefix=\"\" Postfix=\"\" Substitution=\"\"/></Values></Attribute>";
      }
      text += L"</Attributes></Object>";
    }
    return text + L"</Objects>";
  }

  Place place_;
  std::unique_ptr<Store> store_;
  std::unique_ptr<DataService> service_;
  std::wstring read_request_;
  std::wstring write_request_;
};

Fixture& SqliteShared() {
  static Fixture fixture(Place::File());
  return fixture;
}

Fixture& PostgresShared() {
  static Fixture fixture(Place::Database(std::getenv("OVC_TEST_POSTGRES_URI")));
  return fixture;
}

void ServiceCall(benchmark::State& state, Fixture& fixture, const wchar_t* method,
                 const std::wstring& request) {
  for (auto _ : state) {
    ServiceResponse response =
        fixture.service().Execute({L"OVDBBridgeSvcs.Main", method, request, {}});
    if (!response.status.ok()) state.SkipWithError(response.status.message().c_str());
    benchmark::DoNotOptimize(response.text.data());
  }
}

void BM_ServiceRead(benchmark::State& state) {
  ServiceCall(state, SqliteShared(), L"ReadAttributes", SqliteShared().read_request());
}

void BM_ServiceWrite(benchmark::State& state) {
  ServiceCall(state, SqliteShared(), L"WriteAttributes", SqliteShared().write_request());
}

void BM_PgServiceRead(benchmark::State& state) {
  ServiceCall(state, PostgresShared(), L"ReadAttributes", PostgresShared().read_request());
}

void BM_PgServiceWrite(benchmark::State& state) {
  ServiceCall(state, PostgresShared(), L"WriteAttributes", PostgresShared().write_request());
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
  return stmt;
}

void BM_SqlRead(benchmark::State& state) {
  sqlite3* db = SqliteShared().handle<SqliteStore>();
  sqlite3_stmt* select = Prepare(db,
                                 "SELECT value, entered, entered_unit, prefix, postfix, "
                                 "substitution FROM attribute_values WHERE object = ? AND "
                                 "route = ? AND case_oid = ? ORDER BY element");
  const std::vector<std::string> routes = RouteNames();
  double sum = 0;
  for (auto _ : state) {
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int o = 1; o <= kObjects; ++o) {
      for (int r = 0; r < kRoutes; ++r) {
        sqlite3_bind_int(select, 1, o);
        sqlite3_bind_text(select, 2, routes[r].data(), static_cast<int>(routes[r].size()),
                          SQLITE_STATIC);
        sqlite3_bind_int(select, 3, kCase);
        while (sqlite3_step(select) == SQLITE_ROW) sum += sqlite3_column_double(select, 1);
        sqlite3_reset(select);
      }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  benchmark::DoNotOptimize(sum);
  sqlite3_finalize(select);
}

void BM_SqlWrite(benchmark::State& state) {
  sqlite3* db = SqliteShared().handle<SqliteStore>();
  sqlite3_stmt* erase =
      Prepare(db, "DELETE FROM attribute_values WHERE object = ? AND route = ? AND case_oid = ?");
  sqlite3_stmt* insert = Prepare(db,
                                 "INSERT INTO attribute_values(object, route, case_oid, element, "
                                 "value, entered, entered_unit, prefix, postfix, substitution) "
                                 "VALUES(?, ?, ?, 0, ?, ?, 'kPa', '', '', '')");
  const std::vector<std::string> routes = RouteNames();
  for (auto _ : state) {
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (int o = 1; o <= kObjects; ++o) {
      for (int r = 0; r < kRoutes; ++r) {
        const std::string& route = routes[r];
        sqlite3_bind_int(erase, 1, o);
        sqlite3_bind_text(erase, 2, route.data(), static_cast<int>(route.size()), SQLITE_STATIC);
        sqlite3_bind_int(erase, 3, kCase);
        sqlite3_step(erase);
        sqlite3_reset(erase);
        double value = ValueOf(o, r);
        sqlite3_bind_int(insert, 1, o);
        sqlite3_bind_text(insert, 2, route.data(), static_cast<int>(route.size()), SQLITE_STATIC);
        sqlite3_bind_int(insert, 3, kCase);
        sqlite3_bind_double(insert, 4, value * 1000);
        sqlite3_bind_double(insert, 5, value);
        sqlite3_step(insert);
        sqlite3_reset(insert);
      }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  sqlite3_finalize(erase);
  sqlite3_finalize(insert);
}

void PgExec(PGconn* conn, const char* sql) { PQclear(PQexec(conn, sql)); }

PGresult* Run(PGconn* conn, const char* name, const PgParams& params) {
  return PQexecPrepared(conn, name, params.count(), params.values(), params.lengths(),
                        params.formats(), 1);
}

constexpr const char* kPgSelect =
    "SELECT value_real, entered, entered_unit, prefix, postfix, substitution FROM "
    "attribute_values WHERE object = $1 AND route = $2 AND case_oid = $3 ORDER BY element";
constexpr const char* kPgErase =
    "DELETE FROM attribute_values WHERE object = $1 AND route = $2 AND case_oid = $3";
constexpr const char* kPgInsert =
    "INSERT INTO attribute_values(object, route, case_oid, element, value_real, entered, "
    "entered_unit, prefix, postfix, substitution) VALUES($1, $2, $3, 0, $4, $5, 'kPa', '', '', "
    "'')";

// Prepares sql as `name` with the parameters of a value's key and `reals`
// double parameters after them.
void PgPrepare(PGconn* conn, const char* name, const char* sql, int reals) {
  PgParams types;
  types.Int(0).Text("").Int(0);
  for (int i = 0; i < reals; ++i) types.Real(0.0);
  PQclear(PQprepare(conn, name, sql, types.count(), types.types()));
}

void BM_PgSqlRead(benchmark::State& state) {
  PGconn* conn = PostgresShared().handle<PostgresStore>();
  PgPrepare(conn, "bench_select", kPgSelect, 0);
  const std::vector<std::string> routes = RouteNames();
  uint64_t bits = 0;
  for (auto _ : state) {
    PgExec(conn, "BEGIN ISOLATION LEVEL REPEATABLE READ");
    for (int o = 1; o <= kObjects; ++o) {
      for (int r = 0; r < kRoutes; ++r) {
        PgParams key;
        key.Int(o).Text(routes[r]).Int(kCase);
        PGresult* rows = Run(conn, "bench_select", key);
        for (int row = 0; row < PQntuples(rows); ++row) {
          uint64_t value = 0;
          std::memcpy(&value, PQgetvalue(rows, row, 0), sizeof value);
          bits ^= be64toh(value);
        }
        PQclear(rows);
      }
    }
    PgExec(conn, "COMMIT");
  }
  benchmark::DoNotOptimize(bits);
  PgExec(conn, "DEALLOCATE bench_select");
}

void BM_PgSqlWrite(benchmark::State& state) {
  PGconn* conn = PostgresShared().handle<PostgresStore>();
  PgPrepare(conn, "bench_erase", kPgErase, 0);
  PgPrepare(conn, "bench_insert", kPgInsert, 2);
  const std::vector<std::string> routes = RouteNames();
  for (auto _ : state) {
    PgExec(conn, "BEGIN");
    for (int o = 1; o <= kObjects; ++o) {
      for (int r = 0; r < kRoutes; ++r) {
        PgParams row;
        row.Int(o).Text(routes[r]).Int(kCase);
        PQclear(Run(conn, "bench_erase", row));
        row.Real(ValueOf(o, r) * 1000).Real(ValueOf(o, r));
        PQclear(Run(conn, "bench_insert", row));
      }
    }
    PgExec(conn, "COMMIT");
  }
  PgExec(conn, "DEALLOCATE bench_erase");
  PgExec(conn, "DEALLOCATE bench_insert");
}

BENCHMARK(BM_ServiceRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServiceWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlWrite)->Unit(benchmark::kMillisecond);

void RegisterPostgres() {
  benchmark::RegisterBenchmark("BM_PgServiceRead", BM_PgServiceRead)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_PgSqlRead", BM_PgSqlRead)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_PgServiceWrite", BM_PgServiceWrite)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_PgSqlWrite", BM_PgSqlWrite)->Unit(benchmark::kMillisecond);
}

// "service / SQL ms = ratio" of one store, or "-" when it did not run.
std::string RatioText(const bench::RatioReporter& reporter, const std::string& service,
                      const std::string& sql) {
  const std::optional<double> ours = reporter.Time(service);
  const std::optional<double> floor = reporter.Time(sql);
  if (!ours || !floor) return "-";
  char text[64];
  std::snprintf(text, sizeof text, "%.1f / %.1f ms = %.2f", *ours, *floor, *ours / *floor);
  return text;
}

void PrintRatios(const bench::RatioReporter& reporter) {
  std::printf("data service / bare SQL (goal: 3.00 or less)\n");
  std::printf("%-28s %-28s %s\n", "", "SQLite", "PostgreSQL");
  for (const char* kind : {"Read", "Write"}) {
    const std::string service = std::string("Service") + kind;
    const std::string sql = std::string("Sql") + kind;
    std::printf("%-28s %-28s %s\n", (std::string(kind) + "Attributes 1000 x 20").c_str(),
                RatioText(reporter, "BM_" + service, "BM_" + sql).c_str(),
                RatioText(reporter, "BM_Pg" + service, "BM_Pg" + sql).c_str());
  }
}

enum class StoreChoice { kSqlite, kBoth, kUnknown };

// Takes `--store sqlite|postgres` out of the arguments.
StoreChoice TakeStoreArgument(int* argc, char** argv) {
  for (int i = 1; i + 1 < *argc; ++i) {
    if (std::strcmp(argv[i], "--store") != 0) continue;
    const std::string_view store = argv[i + 1];
    std::memmove(argv + i, argv + i + 2, sizeof(char*) * (*argc - i - 1));
    *argc -= 2;
    if (store == "postgres") return StoreChoice::kBoth;
    return store == "sqlite" ? StoreChoice::kSqlite : StoreChoice::kUnknown;
  }
  return StoreChoice::kSqlite;
}

}  // namespace
}  // namespace ovc::orvan

int main(int argc, char** argv) {
  using ovc::orvan::StoreChoice;
  const StoreChoice choice = ovc::orvan::TakeStoreArgument(&argc, argv);
  if (choice == StoreChoice::kUnknown) {
    std::fprintf(stderr,
                 "usage: orvan_attributes_bench [--store sqlite|postgres] [benchmark flags]\n");
    return 2;
  }
  if (choice == StoreChoice::kBoth) {
    if (std::getenv("OVC_TEST_POSTGRES_URI") == nullptr) {
      std::fprintf(stderr,
                   "--store postgres needs OVC_TEST_POSTGRES_URI (scripts/postgres.sh uri)\n");
      return 2;
    }
    ovc::orvan::RegisterPostgres();
  }
  benchmark::Initialize(&argc, argv);
  ovc::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  ovc::orvan::PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
