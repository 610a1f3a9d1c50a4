// Saves a Bridge of 50 LinkSets x 40 Links in the host database and opens it
// again, against writing and parsing the same document with the DOM alone.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "automation/class_registry.h"
#include "automation/dom/dom.h"
#include "automation/text.h"
#include "bench/ratio_reporter.h"
#include "orvan/components/registration.h"
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/frame/class_table.h"
#include "ovcbridgesvcs/host/data_service.h"
#include "ovcbridgesvcs/host/orvan.h"

namespace ovc::bridge {
namespace {

constexpr int kLinkSets = 50;
constexpr int kLinksPerSet = 40;
constexpr const wchar_t* kRoutes[] = {L"Flow", L"SuctionPressure", L"DischargePressure", L"Tag"};

void Check(HRESULT hr, const char* what) {
  if (Succeeded(hr)) return;
  std::fprintf(stderr, "%s failed: 0x%08x\n", what, static_cast<unsigned>(hr));
  std::exit(1);
}

// The host over the sample plant in a database file, handed to the library.
ComPtr<IOVWorkspace> OpenHost(const std::filesystem::path& database) {
  Check(orvan::RegisterOrvanClasses(), "registering the host");
  for (const LibraryClass& entry : LibraryClasses().classes()) {
    uint32_t cookie = 0;
    Check(CoRegisterClassObject(entry.coclass->clsid, CreateClassFactory(entry).get(),
                                CLSCTX_INPROC_SERVER, &cookie, {ProgId(*entry.coclass), {}, {}}),
          "registering the library");
  }
  ComPtr<IOVWorkspace> workspace;
  Check(CoCreateInstance(CLSID_Workspace, nullptr, CLSCTX_ALL, IOVWorkspace::kIid,
                         workspace.ReceiveVoid()),
        "making the workspace");
  Check(workspace->Create(database.wstring()), "creating the database");
  Check(workspace->Import(L"" OVC_SAMPLE_PLANT), "importing the plant");
  ComPtr<IDispatch> cache;
  Check(workspace->get_Cache(cache.Receive()), "the cache");
  Check(MakeObject<COrvan>()->Initialize(workspace.get(), cache.As<IOVCache>().get()),
        "initialising the library");
  return workspace;
}

ComPtr<IBridge> LargeBridge() {
  ComPtr<IBridge> bridge = MakeObject<CBridge>();
  bridge->put_Name(L"Benchmark");
  for (int set = 0; set < kLinkSets; ++set) {
    Variant added;
    Check(bridge->CreateLinkSet(&added), "adding a LinkSet");
    const ComPtr<ILinkSet> link_set = ComPtr<IDispatch>(added.dispatch()).As<ILinkSet>();
    link_set->put_Name(L"Set " + std::to_wstring(set));
    link_set->put_Class(L"Pumps");
    for (int i = 0; i < kLinksPerSet; ++i) {
      Variant link_value;
      Check(link_set->CreateLink(&link_value), "adding a Link");
      const ComPtr<ILink> link = ComPtr<IDispatch>(link_value.dispatch()).As<ILink>();
      link->put_AttribName(kRoutes[i % 4]);
      link->put_WriteLocation(L"Out_" + std::to_wstring(set) + L"_" + std::to_wstring(i));
      link->put_ReadLocation(L"In_" + std::to_wstring(set) + L"_" + std::to_wstring(i));
    }
  }
  return bridge;
}

std::wstring XmlOf(IBridge* bridge) {
  Variant document;
  Check(bridge->GetXML(&document), "GetXML");
  std::wstring xml;
  Check(ComPtr<IDispatch>(document.dispatch()).As<IXMLDOMNode>()->get_xml(&xml), "xml");
  return xml;
}

struct Fixture {
  std::filesystem::path database =
      std::filesystem::temp_directory_path() / ("bridge_bench_" + std::to_string(::getpid()));
  ComPtr<IOVWorkspace> workspace = OpenHost(database);
  ComPtr<IBridge> bridge = LargeBridge();
  std::wstring xml = XmlOf(bridge.get());

  ~Fixture() {
    bridge->FinalCleanUp();
    // The database in write-ahead mode leaves its log and index beside it.
    for (const char* suffix : {"", "-wal", "-shm"}) {
      std::filesystem::remove(database.string() + suffix);
    }
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_SaveAndOpen(benchmark::State& state) {
  Fixture& fixture = Shared();
  for (auto _ : state) {
    Check(fixture.bridge->Save(VARIANT_FALSE), "Save");
    int32_t oid = -1;
    fixture.bridge->get_OID(&oid);
    const ComPtr<IBridge> opened = MakeObject<CBridge>();
    Check(opened->Open(oid), "Open");
    opened->FinalCleanUp();
  }
}

// The host's share: its SaveBridge and OpenBridge of the document the
// library sends, called as the library calls them, with nothing else.
void BM_HostAlone(benchmark::State& state) {
  Fixture& fixture = Shared();
  Check(fixture.bridge->Save(VARIANT_FALSE), "Save");
  int32_t oid = -1;
  fixture.bridge->get_OID(&oid);
  const std::wstring saved = XmlOf(fixture.bridge.get());
  const std::wstring open_request = L"<Bridge OID=\"" + std::to_wstring(oid) + L"\"/>";
  for (auto _ : state) {
    std::wstring response;
    DataServiceStep step = DataServiceStep::kNone;
    Check(RunDataServiceCall(fixture.workspace.get(),
                             {.service = kBridgeService, .method = L"SaveBridge", .text = saved},
                             &response, &step),
          "SaveBridge");
    Check(RunDataServiceCall(
              fixture.workspace.get(),
              {.service = kBridgeService, .method = L"OpenBridge", .text = open_request}, &response,
              &step),
          "OpenBridge");
    benchmark::DoNotOptimize(response);
  }
}

// What any store on this database engine pays: the document's bytes
// written into one row and committed as durably as the host commits, then
// read back, with nothing parsed. The text alternates so that every commit
// writes its pages.
void BM_BareStore(benchmark::State& state) {
  const std::filesystem::path path = Shared().database.string() + "_bare";
  const std::string text = ToUtf8(Shared().xml);
  const std::string texts[] = {text, text + " "};
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK ||
      sqlite3_exec(db,
                   "PRAGMA journal_mode=WAL; CREATE TABLE b(oid INTEGER PRIMARY KEY, doc TEXT);"
                   "INSERT INTO b VALUES(1, '')",
                   nullptr, nullptr, nullptr) != SQLITE_OK) {
    state.SkipWithError("making the bare database failed");
  }
  sqlite3_stmt* update = nullptr;
  sqlite3_prepare_v2(db, "UPDATE b SET doc = ? WHERE oid = 1", -1, &update, nullptr);
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(db, "SELECT doc FROM b WHERE oid = 1", -1, &select, nullptr);
  size_t round = 0;
  for (auto _ : state) {
    const std::string& written = texts[round++ % 2];
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_bind_text(update, 1, written.data(), static_cast<int>(written.size()), SQLITE_STATIC);
    if (sqlite3_step(update) != SQLITE_DONE) state.SkipWithError("UPDATE failed");
    sqlite3_reset(update);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
      state.SkipWithError("COMMIT failed");
    }
    if (sqlite3_step(select) == SQLITE_ROW) {
      std::string read(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)),
                       static_cast<size_t>(sqlite3_column_bytes(select, 0)));
      benchmark::DoNotOptimize(read);
    }
    sqlite3_reset(select);
  }
  sqlite3_finalize(update);
  sqlite3_finalize(select);
  sqlite3_close(db);
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::filesystem::remove(path.string() + suffix);
  }
}

// The floor: the same document written and parsed by the DOM, once each
// way as a save and an open do.
void BM_DomFloor(benchmark::State& state) {
  const std::wstring& xml = Shared().xml;
  for (auto _ : state) {
    ComPtr<IXMLDOMDocument> document;
    Check(CreateDomDocument(&document), "a document");
    VARIANT_BOOL loaded = VARIANT_FALSE;
    Check(document->loadXML(xml, &loaded), "loadXML");
    std::wstring written;
    Check(document->get_xml(&written), "xml");
    benchmark::DoNotOptimize(written);
  }
}

BENCHMARK(BM_SaveAndOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DomFloor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ovc::bridge

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ovc::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const std::optional<double> ours = reporter.Time("BM_SaveAndOpen");
  const std::optional<double> host = reporter.Time("BM_HostAlone");
  const std::optional<double> bare = reporter.Time("BM_BareStore");
  const std::optional<double> floor = reporter.Time("BM_DomFloor");
  if (ours && floor) {
    std::printf(
        "Save + Open of %d Links: %.1f ms, DOM write + parse %.1f ms; ratio %.2f (goal: 2.00 "
        "or less)\n",
        ovc::bridge::kLinkSets * ovc::bridge::kLinksPerSet, *ours, *floor, *ours / *floor);
  }
  if (host && bare && floor) {
    std::printf(
        "Of which the host's SaveBridge + OpenBridge alone: %.1f ms, ratio %.2f; the document "
        "stored and read back in one row of a bare database: %.1f ms, ratio %.2f\n",
        *host, *host / *floor, *bare, *bare / *floor);
  }
  benchmark::Shutdown();
  return 0;
}
