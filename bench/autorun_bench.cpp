// Bridge.AutoRun against the floor of the same work done directly, in the
// same run, over a calculation workbook and over a data-sheet document.
//
// Workbook: an iterative LinkSet over 1,000 objects x 20 Links (In_0..In_9
// written into named cells, Out_0..Out_9 computed from them by formulas and
// read back into the host) and a LinkSet of 40 Links writing the parameters
// P_0..P_39 of one site object, which AutoRun writes once per object. Floor:
// the same "ReadAttributes" request, per object the same cell writes, the
// two recalculations and the same reads through "Excel.Application", the
// same "WriteAttributes" request and the closing read of the site's values.
//
// Document: 100 LinkSets x 20 Links, each writing its host value into a
// bookmark of its own (2,000: plain text, table cells and form fields) and
// reading it back into the host. Floor: the same host requests and the same
// bookmark writes and reads through "Word.Application".
//
// Each side is timed from its first host request to its last, opening the
// file inside the time and closing it outside; best of three runs, the
// sides taking turns. Prints microseconds per Link transfer (a Link written
// or read for one object) and the ratio AutoRun / floor (goal: 2 or less).
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "automation/class_registry.h"
#include "automation/number_text.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "bench/autorun_host.h"
#include "bench/excel_bench_support.h"
#include "bench/word_bench_support.h"
#include "office/excel/registration.h"
#include "office/word/registration.h"
#include "orvan/components/registration.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/frame/class_table.h"
#include "ovcbridgesvcs/host/orvan.h"

namespace ovc::bench {
namespace {

using excel::bench::Seconds;
using word::bench::BookmarkKind;
using word::bench::BookmarkName;
using word::bench::KindOf;

constexpr int kObjects = 1000;
constexpr int kPairs = 10;       // In_k written, Out_k computed and read
constexpr int kParameters = 40;  // P_k of the site, written for every object
constexpr int32_t kFirstOid = 1001;
constexpr int32_t kSiteOid = 5000;
constexpr int kDocumentSets = 100;
constexpr int kDocumentLinks = 2 * kPairs;
constexpr int kBookmarks = kDocumentSets * kDocumentLinks;
constexpr int kRuns = 3;
constexpr int32_t kManual = -4135;

void Check(HRESULT hr, const char* what) {
  if (Succeeded(hr)) return;
  std::fprintf(stderr, "%s failed: 0x%08x\n", what, static_cast<unsigned>(hr));
  std::exit(1);
}

std::wstring Numbered(const wchar_t* stem, int k) { return stem + std::to_wstring(k); }

// "In_0".."In_<n-1>" then "Out_0".."Out_<n-1>" (or another pair of stems):
// the routes of a class view, and the names of their cells.
std::vector<std::wstring> Pairs(const wchar_t* in, const wchar_t* out, int n) {
  std::vector<std::wstring> names;
  for (int k = 0; k < n; ++k) names.push_back(Numbered(in, k));
  for (int k = 0; k < n; ++k) names.push_back(Numbered(out, k));
  return names;
}

const std::vector<std::wstring>& UnitRoutes() {
  static const std::vector<std::wstring> routes = Pairs(L"In_", L"Out_", kPairs);
  return routes;
}
const std::vector<std::wstring>& SiteRoutes() {
  static const std::vector<std::wstring> routes = [] {
    std::vector<std::wstring> names;
    for (int k = 0; k < kParameters; ++k) names.push_back(Numbered(L"P_", k));
    return names;
  }();
  return routes;
}

std::wstring UnitName(int object) { return L"U-" + std::to_wstring(kFirstOid + object); }
double InputOf(int object, int k) { return 1 + object * 0.5 + k; }
double ParameterOf(int k) { return 1.5 + k * 0.25; }

// The formula of Out_k in C++.
double OutputOf(int object, int k) {
  return InputOf(object, k) * ParameterOf(k) + InputOf(object, (k + 1) % kPairs) +
         ParameterOf(k + 10) + ParameterOf(k + 20) + ParameterOf(k + 30);
}

// The host: class views Unit (In_k, Out_k) and Site (P_k), real pressures
// in kPa, objects U-1001..U-2000 and the site 5000, every value of case 101
// stored (outputs as 0).
nlohmann::json Workspace() {
  using nlohmann::json;
  auto view = [](const char* name, const std::vector<std::wstring>& routes) {
    json list = json::array();
    for (const std::wstring& route : routes) {
      list.push_back({{"name", ToUtf8(route)},
                      {"type", "Real"},
                      {"quantityType", "Pressure"},
                      {"vector", false},
                      {"readOnly", false},
                      {"enumTexts", json::array()}});
    }
    return json{{"name", name}, {"routes", list}};
  };
  auto object = [](int32_t oid, const std::wstring& name, const char* class_view,
                   const std::vector<std::wstring>& routes, auto value) {
    json values = json::array();
    for (size_t k = 0; k < routes.size(); ++k) {
      values.push_back({{"route", ToUtf8(routes[k])},
                        {"case", 101},
                        {"elements", {{{"unit", "kPa"}, {"value", value(k)}}}}});
    }
    return json{{"oid", oid},
                {"name", ToUtf8(name)},
                {"classView", class_view},
                {"cases", json::array()},
                {"values", values}};
  };
  json objects = json::array();
  for (int o = 0; o < kObjects; ++o) {
    objects.push_back(object(kFirstOid + o, UnitName(o), "Unit", UnitRoutes(), [&](size_t k) {
      return k < kPairs ? InputOf(o, static_cast<int>(k)) : 0.0;
    }));
  }
  objects.push_back(object(kSiteOid, L"Site", "Site", SiteRoutes(),
                           [](size_t k) { return ParameterOf(static_cast<int>(k)); }));
  return {
      {"format", "orvan-workspace"},
      {"version", 1},
      {"unitStandards", {"SI"}},
      {"quantityTypes",
       {{{"name", "Pressure"},
         {"units", {{{"systemName", "kPa"}, {"text", "kPa"}, {"factor", 1000.0}, {"offset", 0.0}}}},
         {"standardUnits", {{{"standard", "SI"}, {"unit", "kPa"}}}}}}},
      {"unitFormats", json::array()},
      {"descriptiveTexts",
       {{"prefixes", json::array()},
        {"postfixes", json::array()},
        {"substitutions", json::array()}}},
      {"classViews", {view("Unit", UnitRoutes()), view("Site", SiteRoutes())}},
      {"cases", {{{"oid", 101}, {"name", "Design"}}}},
      {"defaultCase", 101},
      {"governingCase", 101},
      {"objects", objects},
      {"bridges", json::array()},
      {"files", json::array()},
      {"privileges", json::array()}};
}

void RegisterClasses() {
  Check(orvan::RegisterOrvanClasses(), "registering the host");
  Check(excel::RegisterExcelClasses(), "registering Excel.Application");
  Check(word::RegisterWordClasses(), "registering Word.Application");
  for (const LibraryClass& entry : LibraryClasses().classes()) {
    uint32_t cookie = 0;
    Check(CoRegisterClassObject(entry.coclass->clsid, CreateClassFactory(entry).get(),
                                CLSCTX_INPROC_SERVER, &cookie, {ProgId(*entry.coclass), {}, {}}),
          "registering the library");
  }
}

// The host over Workspace() in a database in `folder`, handed to the
// library.
ComPtr<IOVWorkspace> OpenHost(const std::filesystem::path& folder) {
  const std::filesystem::path json = folder / "workspace.json";
  FILE* file = std::fopen(json.c_str(), "w");
  const std::string text = Workspace().dump();
  if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
      std::fclose(file) != 0) {
    Check(E_FAIL, "writing the workspace");
  }
  ComPtr<IOVWorkspace> workspace;
  Check(CoCreateInstance(CLSID_Workspace, nullptr, CLSCTX_ALL, IOVWorkspace::kIid,
                         workspace.ReceiveVoid()),
        "making the workspace");
  Check(workspace->Create((folder / "bench.orvan").wstring()), "creating the database");
  Check(workspace->Import(json.wstring()), "importing the workspace");
  ComPtr<IDispatch> cache;
  Check(workspace->get_Cache(cache.Receive()), "the cache");
  Check(MakeObject<COrvan>()->Initialize(workspace.get(), cache.As<IOVCache>().get()),
        "initialising the library");
  return workspace;
}

// Sheet1, row k+1: In_k in A and Out_k in B for k < 10, P_k in C. Out_k =
// A*C + A of the next row (wrapping at 10) + C of the rows 10, 20 and 30
// below; the formulas hold no value until calculated.
bool WriteWorkbook(const std::string& path) {
  std::string names, rows;
  auto name = [&](const std::wstring& cell_name, char column, int row) {
    names += "<definedName name=\"" + ToUtf8(cell_name) + "\">Sheet1!$" + column + "$" +
             std::to_string(row) + "</definedName>";
  };
  for (int k = 0; k < kParameters; ++k) {
    const std::string row = std::to_string(k + 1);
    auto c = [&](int offset) { return "+C" + std::to_string(k + 1 + offset); };
    const std::string pair = "<c r=\"A" + row + "\"><v>0</v></c><c r=\"B" + row + "\"><f>A" + row +
                             "*C" + row + "+A" + std::to_string((k + 1) % kPairs + 1) + c(10) +
                             c(20) + c(30) + "</f></c>";
    rows += "<row r=\"" + row + "\">" + (k < kPairs ? pair : "") + "<c r=\"C" + row +
            "\"><v>0</v></c></row>";
    if (k < kPairs) {
      name(Numbered(L"In_", k), 'A', k + 1);
      name(Numbered(L"Out_", k), 'B', k + 1);
    }
    name(Numbered(L"P_", k), 'C', k + 1);
  }
  return excel::bench::WriteOneSheetWorkbook(path, names, rows);
}

// --- The library's side -------------------------------------------------

ComPtr<IBridge> NewBridge(const std::string& file) {
  ComPtr<IDispatch> made;
  Check(CreateObject(L"OVCBridgeSvcs.Bridge", &made), "making a Bridge");
  ComPtr<IBridge> bridge = made.As<IBridge>();
  Variant app;
  Check(bridge->AddApp(FromUtf8(file), &app), "adding the file");
  return bridge;
}

ComPtr<ILinkSet> AddLinkSet(IBridge* bridge, const wchar_t* class_view) {
  Variant added;
  Check(bridge->CreateLinkSet(&added), "adding a LinkSet");
  ComPtr<ILinkSet> link_set = ComPtr<IDispatch>(added.dispatch()).As<ILinkSet>();
  Check(link_set->put_Class(class_view), "binding the class view");
  return link_set;
}

void BindObject(ILinkSet* link_set, int32_t oid, const std::wstring& name) {
  Check(link_set->put_ObjectOID(oid), "binding the object");
  Check(link_set->put_ObjectName(name), "naming the object");
}

void AddLink(ILinkSet* link_set, const std::wstring& route, const std::wstring& write_location,
             const std::wstring& read_location) {
  Variant added;
  Check(link_set->CreateLink(&added), "adding a Link");
  const ComPtr<ILink> link = ComPtr<IDispatch>(added.dispatch()).As<ILink>();
  Check(link->put_AttribName(route), "the route");
  Check(link->put_WriteLocation(write_location), "the write location");
  Check(link->put_ReadLocation(read_location), "the read location");
}

// Inputs written to their cells, outputs read from theirs.
void AddPairLinks(ILinkSet* link_set, const std::vector<std::wstring>& routes) {
  const size_t half = routes.size() / 2;
  for (size_t k = 0; k < routes.size(); ++k) {
    AddLink(link_set, routes[k], k < half ? routes[k] : L"", k < half ? L"" : routes[k]);
  }
}

ComPtr<IBridge> WorkbookBridge(const std::string& workbook) {
  ComPtr<IBridge> bridge = NewBridge(workbook);
  const ComPtr<ILinkSet> units = AddLinkSet(bridge.get(), L"Unit");
  SafeArray oids = SafeArray::Vector(VT_I4, kObjects);
  SafeArray names = SafeArray::Vector(VT_BSTR, kObjects);
  for (int o = 0; o < kObjects; ++o) {
    oids.data()[o] = Variant::I4(kFirstOid + o);
    names.data()[o] = Variant(UnitName(o));
  }
  Check(units->put_Iterative(VARIANT_TRUE), "making the LinkSet iterative");
  Check(units->put_ObjectOIDList(Variant(std::move(oids))), "the object list");
  Check(units->put_ObjectNameList(Variant(std::move(names))), "the name list");
  AddPairLinks(units.get(), UnitRoutes());
  const ComPtr<ILinkSet> site = AddLinkSet(bridge.get(), L"Site");
  BindObject(site.get(), kSiteOid, L"Site");
  for (const std::wstring& parameter : SiteRoutes()) {
    AddLink(site.get(), parameter, parameter, L"");
  }
  return bridge;
}

// LinkSet s on object s, Link j writing into bookmark 20 s + j and reading
// it back.
ComPtr<IBridge> DocumentBridge(const std::string& document) {
  ComPtr<IBridge> bridge = NewBridge(document);
  for (int s = 0; s < kDocumentSets; ++s) {
    const ComPtr<ILinkSet> link_set = AddLinkSet(bridge.get(), L"Unit");
    BindObject(link_set.get(), kFirstOid + s, UnitName(s));
    for (int j = 0; j < kDocumentLinks; ++j) {
      const std::wstring bookmark = FromUtf8(BookmarkName(s * kDocumentLinks + j));
      AddLink(link_set.get(), UnitRoutes()[j], bookmark, bookmark);
    }
  }
  return bridge;
}

// AutoRun of `bridge`, timed; -1 when it fails or a Link reports an error.
double TimedAutoRun(IBridge* bridge) {
  const double seconds = Seconds([&] { return Succeeded(bridge->AutoRun(VARIANT_FALSE)); });
  int32_t errors = 0;
  bridge->get_LinkErrorCount(&errors);
  if (seconds < 0 || errors != 0) {
    std::fprintf(stderr, "AutoRun failed (%d Links in error)\n", errors);
    return -1;
  }
  return seconds;
}

// --- The floor ----------------------------------------------------------

std::vector<HostObject> UnitObjects(int count, bool outputs_only) {
  std::vector<HostObject> objects;
  for (int o = 0; o < count; ++o) {
    HostObject& object = objects.emplace_back(HostObject{kFirstOid + o, L"Unit", UnitRoutes()});
    if (outputs_only) object.routes.erase(object.routes.begin(), object.routes.begin() + kPairs);
  }
  return objects;
}

HostObject SiteObject() { return {kSiteOid, L"Site", SiteRoutes()}; }

struct ExcelMembers {
  Member workbooks{L"Workbooks"}, open{L"Open"}, close{L"Close"}, quit{L"Quit"};
  Member calculation{L"Calculation"}, calculate{L"Calculate"}, range{L"Range"}, value{L"Value"};
};

bool PutCell(IDispatch* excel, ExcelMembers& m, const std::wstring& name, double value) {
  const ComPtr<IDispatch> range = GetObject(excel, m.range, {Variant(name)});
  return Succeeded(Invoke(range.get(), m.value, DISPATCH_PROPERTYPUT, {Variant(value)}));
}

bool GetCell(IDispatch* excel, ExcelMembers& m, const std::wstring& name, double* value) {
  const ComPtr<IDispatch> range = GetObject(excel, m.range, {Variant(name)});
  Variant got;
  if (Failed(Invoke(range.get(), m.value, DISPATCH_PROPERTYGET, {}, &got)) || got.vt() != VT_R8) {
    return false;
  }
  *value = got.r8();
  return true;
}

// One object through the workbook: inputs and parameters in, two
// recalculations, outputs out.
bool CalculateObject(IDispatch* excel, ExcelMembers& m, const Values& unit, const Values& site,
                     Values* outputs) {
  const std::vector<std::wstring>& unit_names = UnitRoutes();
  bool ok = true;
  for (int k = 0; k < kPairs && ok; ++k) ok = PutCell(excel, m, unit_names[k], unit[k]);
  for (int k = 0; k < kParameters && ok; ++k) ok = PutCell(excel, m, SiteRoutes()[k], site[k]);
  ok = ok && Succeeded(Invoke(excel, m.calculate, DISPATCH_METHOD)) &&
       Succeeded(Invoke(excel, m.calculate, DISPATCH_METHOD));
  outputs->resize(kPairs);
  for (int k = 0; k < kPairs && ok; ++k) {
    ok = GetCell(excel, m, unit_names[kPairs + k], &(*outputs)[k]);
  }
  return ok;
}

ComPtr<IDispatch> NewApplication(const wchar_t* prog_id) {
  ComPtr<IDispatch> application;
  Check(CreateObject(prog_id, &application), "starting the office application");
  return application;
}

// The workbook's work done directly; -1 when a step fails or the last
// object's first output is not the formula's value.
double WorkbookFloor(IOVWorkspace* host, const std::string& path) {
  std::vector<HostObject> read_objects = UnitObjects(kObjects, false);
  read_objects.push_back(SiteObject());
  const std::vector<HostObject> write_objects = UnitObjects(kObjects, true);
  const ComPtr<IDispatch> excel = NewApplication(L"Excel.Application");
  ExcelMembers m;
  ComPtr<IDispatch> workbook;
  std::vector<Values> written(kObjects);
  const double seconds = Seconds([&] {
    std::vector<Values> read, site;
    if (!ReadHost(host, read_objects, &read)) return false;
    workbook =
        GetObject(GetObject(excel.get(), m.workbooks).get(), m.open, {Variant(FromUtf8(path))});
    if (!workbook ||
        Failed(Invoke(excel.get(), m.calculation, DISPATCH_PROPERTYPUT, {Variant::I4(kManual)}))) {
      return false;
    }
    for (int o = 0; o < kObjects; ++o) {
      if (!CalculateObject(excel.get(), m, read[o], read[kObjects], &written[o])) return false;
    }
    return WriteHost(host, write_objects, written) && ReadHost(host, {SiteObject()}, &site);
  });
  Invoke(workbook.get(), m.close, DISPATCH_METHOD, {Variant::Bool(false)});
  Invoke(excel.get(), m.quit, DISPATCH_METHOD);
  return written[kObjects - 1][0] == OutputOf(kObjects - 1, 0) ? seconds : -1;
}

struct WordMembers {
  Member documents{L"Documents"}, open{L"Open"}, bookmarks{L"Bookmarks"}, item{L"Item"};
  Member range{L"Range"}, text{L"Text"}, select{L"Select"}, selection{L"Selection"};
  Member form_fields{L"FormFields"}, fields{L"Fields"}, result{L"Result"}, quit{L"Quit"};
};

// Writes `text` into bookmark `i` as the library does: Range.Text, or the
// Result of the form field the selected range holds.
bool PutBookmark(IDispatch* word, IDispatch* bookmarks, WordMembers& m, int i,
                 const std::wstring& text) {
  const ComPtr<IDispatch> range =
      GetObject(GetObject(bookmarks, m.item, {Variant(FromUtf8(BookmarkName(i)))}).get(), m.range);
  if (KindOf(i) != BookmarkKind::kField) {
    return Succeeded(Invoke(range.get(), m.text, DISPATCH_PROPERTYPUT, {Variant(text)}));
  }
  if (Failed(Invoke(range.get(), m.select, DISPATCH_METHOD))) return false;
  const ComPtr<IDispatch> field = GetObject(
      GetObject(GetObject(word, m.selection).get(), m.form_fields).get(), m.item, {Variant::I4(1)});
  return Succeeded(Invoke(field.get(), m.result, DISPATCH_PROPERTYPUT, {Variant(text)}));
}

// The number bookmark `i` shows: its text, or its form field's result.
bool GetBookmark(IDispatch* bookmarks, WordMembers& m, int i, double* value) {
  ComPtr<IDispatch> range =
      GetObject(GetObject(bookmarks, m.item, {Variant(FromUtf8(BookmarkName(i)))}).get(), m.range);
  if (KindOf(i) == BookmarkKind::kField) {
    range =
        GetObject(GetObject(GetObject(range.get(), m.fields).get(), m.item, {Variant::I4(1)}).get(),
                  m.result);
  }
  Variant text;
  if (Failed(Invoke(range.get(), m.text, DISPATCH_PROPERTYGET, {}, &text)) ||
      text.vt() != VT_BSTR) {
    return false;
  }
  const std::string digits = ToUtf8(text.bstr());
  return std::from_chars(digits.data(), digits.data() + digits.size(), *value).ptr ==
         digits.data() + digits.size();
}

// The document's work done directly; -1 when a step fails.
double DocumentFloor(IOVWorkspace* host, const std::string& path) {
  const std::vector<HostObject> objects = UnitObjects(kDocumentSets, false);
  const ComPtr<IDispatch> word = NewApplication(L"Word.Application");
  WordMembers m;
  const double seconds = Seconds([&] {
    std::vector<Values> read, written(kDocumentSets, Values(kDocumentLinks));
    if (!ReadHost(host, objects, &read)) return false;
    const ComPtr<IDispatch> document =
        GetObject(GetObject(word.get(), m.documents).get(), m.open, {Variant(FromUtf8(path))});
    const ComPtr<IDispatch> bookmarks = GetObject(document.get(), m.bookmarks);
    for (int i = 0; i < kBookmarks; ++i) {
      const double value = read[i / kDocumentLinks][i % kDocumentLinks];
      if (!PutBookmark(word.get(), bookmarks.get(), m, i, DoubleToText(value))) return false;
    }
    for (int i = 0; i < kBookmarks; ++i) {
      if (!GetBookmark(bookmarks.get(), m, i, &written[i / kDocumentLinks][i % kDocumentLinks])) {
        return false;
      }
    }
    return WriteHost(host, objects, written) && ReadHost(host, objects, &read);
  });
  Invoke(word.get(), m.quit, DISPATCH_METHOD, {Variant::I4(0)});
  return seconds;
}

// --- The run ------------------------------------------------------------

// The fewest seconds of a side's runs; -1 once any run failed.
struct Best {
  double seconds = 0;
  bool failed = false;
  void Add(double run) {
    failed = failed || run < 0;
    if (seconds == 0 || run < seconds) seconds = run;
  }
};

struct Result {
  Best autorun, floor;
};

void PrintSide(const char* name, const Best& side, int transfers) {
  if (side.failed) {
    std::printf("  %-8s failed\n", name);
    return;
  }
  std::printf("  %-8s %7.3f s  %6.2f us per Link\n", name, side.seconds,
              side.seconds * 1e6 / transfers);
}

void Print(const char* what, int transfers, const Result& result) {
  std::printf("%s, %d Link transfers (best of %d):\n", what, transfers, kRuns);
  PrintSide("AutoRun", result.autorun, transfers);
  PrintSide("floor", result.floor, transfers);
  if (result.autorun.failed || result.floor.failed) return;
  std::printf("  ratio AutoRun / floor = %.2f (goal: 2.00 or less)\n",
              result.autorun.seconds / result.floor.seconds);
}

// The Out_0 the host holds for the last object.
double LastOutput(IOVWorkspace* host) {
  std::vector<Values> values;
  const HostObject last{kFirstOid + kObjects - 1, L"Unit", {UnitRoutes()[kPairs]}};
  return ReadHost(host, {last}, &values) ? values[0][0] : -1;
}

// One run of each side over the workbook; the first AutoRun must leave the
// formula's value of the last object in the host, which held 0 before.
void RunWorkbook(IOVWorkspace* host, const std::string& path, bool check, Result* result) {
  if (!WriteWorkbook(path)) Check(E_FAIL, "writing the workbook");
  const ComPtr<IBridge> bridge = WorkbookBridge(path);
  double seconds = TimedAutoRun(bridge.get());
  if (check && seconds >= 0 && LastOutput(host) != OutputOf(kObjects - 1, 0)) {
    std::fprintf(stderr, "AutoRun left Out_0 = %g in the host\n", LastOutput(host));
    seconds = -1;
  }
  bridge->FinalCleanUp();
  result->autorun.Add(seconds);
  if (!WriteWorkbook(path)) Check(E_FAIL, "writing the workbook");
  result->floor.Add(WorkbookFloor(host, path));
}

void RunDocument(IOVWorkspace* host, const std::string& path, Result* result) {
  if (!word::bench::WriteBookmarkDocument(path, kBookmarks)) Check(E_FAIL, "writing the document");
  const ComPtr<IBridge> bridge = DocumentBridge(path);
  result->autorun.Add(TimedAutoRun(bridge.get()));
  bridge->FinalCleanUp();
  if (!word::bench::WriteBookmarkDocument(path, kBookmarks)) Check(E_FAIL, "writing the document");
  result->floor.Add(DocumentFloor(host, path));
}

}  // namespace
}  // namespace ovc::bench

// "autorun_bench" runs both; "autorun_bench workbook" or "... document" one.
int main(int argc, char** argv) {
  using namespace ovc::bench;
  const std::string only = argc > 1 ? argv[1] : "";
  const bool workbook_runs = only != "document", document_runs = only != "workbook";
  RegisterClasses();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("autorun-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const ovc::ComPtr<ovc::IOVWorkspace> host = OpenHost(folder);
  double load[1] = {-1};
  getloadavg(load, 1);
  Result workbook, document;
  for (int run = 0; run < kRuns; ++run) {
    if (workbook_runs) {
      RunWorkbook(host.get(), (folder / "Calc.xlsx").string(), run == 0, &workbook);
    }
    if (document_runs) RunDocument(host.get(), (folder / "Sheet.docx").string(), &document);
  }
  std::printf("Load average at the start: %.2f\n", load[0]);
  if (workbook_runs) {
    Print("Workbook: iterative LinkSet of 1,000 objects x 20 Links and a LinkSet of 40 Links",
          kObjects * (2 * kPairs + kParameters), workbook);
  }
  if (document_runs) {
    Print("Document: 100 LinkSets x 20 Links on 2,000 bookmarks", kBookmarks, document);
  }
  std::filesystem::remove_all(folder);
  const bool failed = workbook.autorun.failed || workbook.floor.failed || document.autorun.failed ||
                      document.floor.failed;
  return failed ? 1 : 0;
}
