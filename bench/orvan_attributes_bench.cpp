// "ReadAttributes" and "WriteAttributes" of 1,000 objects x 20 routes through
// the data service, against the bare prepared SQL statements that read and
// write the same values on the same connection. Prints service/SQL ratios.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "bench/ratio_reporter.h"
#include "orvan/service/data_service.h"
#include "orvan/storage/sqlite_store.h"

namespace ovc::orvan {
namespace {

constexpr int kObjects = 1000;
constexpr int kRoutes = 20;
constexpr int kCase = 101;

std::string RouteName(int route) { return "R" + std::to_string(route); }
double ValueOf(int object, int route) { return object * 0.001 + route * 1.25; }

// A workspace of kObjects objects of one class view with kRoutes real routes
// in kPa, each value stored once.
class Fixture {
 public:
  Fixture() {
    char pattern[] = "/tmp/orvan-bench-XXXXXX";
    folder_ = mkdtemp(pattern);
    SqliteStore::Open(folder_ + "/bench.orvan", SqliteStore::Mode::kCreate, &store_);
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
    std::filesystem::remove_all(folder_);
  }

  DataService& service() { return *service_; }
  sqlite3* db() { return store_->handle(); }
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

  std::string folder_;
  std::unique_ptr<SqliteStore> store_;
  std::unique_ptr<DataService> service_;
  std::wstring read_request_;
  std::wstring write_request_;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
  return stmt;
}

void BM_ServiceRead(benchmark::State& state) {
  Fixture& fixture = Shared();
  for (auto _ : state) {
    ServiceResponse response = fixture.service().Execute(
        {L"OVDBBridgeSvcs.Main", L"ReadAttributes", fixture.read_request(), {}});
    if (!response.status.ok()) state.SkipWithError(response.status.message().c_str());
    benchmark::DoNotOptimize(response.text.data());
  }
}

void BM_SqlRead(benchmark::State& state) {
  sqlite3* db = Shared().db();
  sqlite3_stmt* select = Prepare(db,
                                 "SELECT value, entered, entered_unit, prefix, postfix, "
                                 "substitution FROM attribute_values WHERE object = ? AND "
                                 "route = ? AND case_oid = ? ORDER BY element");
  std::string routes[kRoutes];
  for (int r = 0; r < kRoutes; ++r) routes[r] = RouteName(r);
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

void BM_ServiceWrite(benchmark::State& state) {
  Fixture& fixture = Shared();
  for (auto _ : state) {
    ServiceResponse response = fixture.service().Execute(
        {L"OVDBBridgeSvcs.Main", L"WriteAttributes", fixture.write_request(), {}});
    if (!response.status.ok()) state.SkipWithError(response.status.message().c_str());
    benchmark::DoNotOptimize(response.text.data());
  }
}

void BM_SqlWrite(benchmark::State& state) {
  sqlite3* db = Shared().db();
  sqlite3_stmt* erase =
      Prepare(db, "DELETE FROM attribute_values WHERE object = ? AND route = ? AND case_oid = ?");
  sqlite3_stmt* insert = Prepare(db,
                                 "INSERT INTO attribute_values(object, route, case_oid, element, "
                                 "value, entered, entered_unit, prefix, postfix, substitution) "
                                 "VALUES(?, ?, ?, 0, ?, ?, 'kPa', '', '', '')");
  std::string routes[kRoutes];
  for (int r = 0; r < kRoutes; ++r) routes[r] = RouteName(r);
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

BENCHMARK(BM_ServiceRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServiceWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlWrite)->Unit(benchmark::kMillisecond);

void PrintRatio(const bench::RatioReporter& reporter, const char* what, const std::string& service,
                const std::string& sql) {
  const std::optional<double> ours = reporter.Time(service);
  const std::optional<double> floor = reporter.Time(sql);
  if (!ours || !floor) return;
  std::printf("%s: data service / bare SQL = %.2f (goal: 3.00 or less)\n", what, *ours / *floor);
}

}  // namespace
}  // namespace ovc::orvan

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ovc::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  ovc::orvan::PrintRatio(reporter, "ReadAttributes 1000 x 20", "BM_ServiceRead", "BM_SqlRead");
  ovc::orvan::PrintRatio(reporter, "WriteAttributes 1000 x 20", "BM_ServiceWrite", "BM_SqlWrite");
  benchmark::Shutdown();
  return 0;
}
