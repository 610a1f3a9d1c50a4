// ovcbridge demo: the sample plant in a database, a calculation workbook and a
// data sheet, a Bridge over them, and an AutoRun with its reports.
#include <filesystem>
#include <iostream>
#include <memory>

#include "automation/text.h"
#include "cli/automation_client.h"
#include "cli/commands.h"
#include "cli/host_session.h"

namespace ovc::cli {
namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kWorkbook = L"pump-sizing.xlsx";
constexpr const wchar_t* kDataSheet = L"pump-datasheet.docx";
constexpr int32_t kDesignCase = 101;

struct Pump {
  const wchar_t* tag;
  int32_t oid;
  const wchar_t* names;  // the suffix of its workbook names: Flow_P101A
};
constexpr Pump kPumps[] = {
    {L"P-101A", 1001, L"P101A"}, {L"P-102A", 1003, L"P102A"}, {L"P-103A", 1005, L"P103A"}};

// A Link: host route, write location, read location, write format.
struct LinkRow {
  const wchar_t* route;
  const wchar_t* write;
  const wchar_t* read;
  const wchar_t* format;
};
// The workbook's inputs are written, its results read; locations get the
// pump's suffix.
constexpr LinkRow kSizingLinks[] = {{L"Flow", L"Flow_", L"", L""},
                                    {L"SuctionPressure", L"Suction_", L"", L""},
                                    {L"DischargePressure", L"Discharge_", L"", L""},
                                    {L"Power", L"", L"Power_", L""},
                                    {L"Stages", L"", L"Stages_", L""}};
constexpr LinkRow kDataSheetLinks[] = {
    {L"Tag", L"Tag", L"", L""},
    {L"Description", L"Description", L"", L""},
    {L"Service", L"Service", L"", L""},
    {L"Flow", L"RatedFlow", L"", L"/!Number(%.1f):Unit!/"},
    {L"SuctionPressure", L"Suction", L"", L"/!Number(%.0f):Unit!/"},
    {L"DischargePressure", L"Discharge", L"", L"/!Number(%.0f):Unit!/"},
    {L"InstallDate", L"Installed", L"", L"/!Date(%Y-%m-%d)!/"},
    {L"Manufacturer", L"Manufacturer", L"", L""}};

// The samples folder: installed beside bin/, else in the sources.
fs::path SamplesFolder() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error).parent_path();
  for (const char* candidate : {OVC_SAMPLES_FOLDERS}) {
    if (fs::is_regular_file(program / candidate / "plant.json", error)) return program / candidate;
  }
  throw Failure{E_FAIL, L"the sample plant (samples/plant.json) is not installed"};
}

void AddLinkSet(const Object& bridge, const Pump& pump, const std::wstring& name,
                const LinkRow* links, size_t count, const std::wstring& suffix) {
  const Object linkset = bridge.GetObject(L"CreateLinkSet");
  linkset.Put(L"Name", Variant(name));
  linkset.Put(L"Class", Variant(L"Pumps"));
  linkset.Put(L"ObjectOID", Variant(pump.oid));
  linkset.Put(L"ObjectName", Variant(pump.tag));
  for (const LinkRow& row : std::span(links, count)) {
    const Object link = linkset.GetObject(L"CreateLink");
    link.Put(L"AttribName", Variant(row.route));
    link.Put(L"WriteLocation", Variant(*row.write ? row.write + suffix : L""));
    link.Put(L"ReadLocation", Variant(*row.read ? row.read + suffix : L""));
    link.Put(L"WriteFormat", Variant(row.format));
  }
}

// Stores the Bridge "Pump sizing" over the two files; returns its OID.
int32_t StoreBridge(const fs::path& folder) {
  const Object bridge = Object::Create(L"OVCBridgeSvcs.Bridge");
  bridge.Call(L"Create");
  bridge.Put(L"Name", Variant(L"Pump sizing"));
  bridge.Put(L"Description", Variant(L"Shaft power and stages from the workbook; a data sheet"));
  bridge.Put(L"CaseOID", Variant(kDesignCase));
  for (const Pump& pump : kPumps) {
    AddLinkSet(bridge, pump, std::wstring(L"Sizing ") + pump.tag, kSizingLinks,
               std::size(kSizingLinks), pump.names);
  }
  AddLinkSet(bridge, kPumps[0], std::wstring(L"Data sheet ") + kPumps[0].tag, kDataSheetLinks,
             std::size(kDataSheetLinks), L"");
  for (const wchar_t* file : {kWorkbook, kDataSheet}) {
    bridge.Call(L"AddApp", {Variant((folder / file).wstring())});
  }
  bridge.Call(L"Save", {Variant::Bool(false)});
  const int32_t oid = bridge.Number(L"OID");
  bridge.Call(L"ReleaseLock");
  bridge.Call(L"FinalCleanUp");
  return oid;
}

void MakeDatabase(const fs::path& database, const fs::path& samples) {
  for (const char* end : {"", "-wal", "-shm"}) fs::remove(database.string() + end);
  const Object workspace = Object::Create(L"Orvan.Workspace");
  workspace.Call(L"Create", {Variant(database.wstring())});
  workspace.Call(L"Import", {Variant((samples / "plant.json").wstring())});
  workspace.Call(L"Close");
}

// Copies the files as the Bridge saved them into the folder, as autorun-NAME.
std::vector<std::string> KeepSavedFiles(int32_t oid, const fs::path& folder) {
  OpenedBridge opened(oid);
  std::vector<std::string> kept;
  const int32_t count = opened.bridge().Number(L"CountApps");
  for (int32_t index = 0; index < count; ++index) {
    const Object app = opened.bridge().GetObject(L"ItemApp", {Variant(index)});
    const fs::path target = folder / (L"autorun-" + app.Text(L"FullName"));
    fs::copy_file(app.Text(L"Path"), target, fs::copy_options::overwrite_existing);
    kept.push_back(target.string());
  }
  return kept;
}

int Demo(Context& context, const std::string& folder_text) {
  const fs::path folder = fs::absolute(folder_text);
  const fs::path samples = SamplesFolder();
  fs::create_directories(folder);
  context.options.db = (folder / "plant.orvan").string();
  MakeDatabase(context.options.db, samples);
  for (const wchar_t* file : {kWorkbook, kDataSheet}) {
    fs::copy_file(samples / file, folder / file, fs::copy_options::overwrite_existing);
  }
  int32_t oid = 0;
  {
    HostSession session(context.options);
    oid = StoreBridge(folder);
  }
  context.console.Note("made " + context.options.db + " and the Bridge " + std::to_string(oid) +
                       " \"Pump sizing\" over " + ToUtf8(kWorkbook) + " and " + ToUtf8(kDataSheet) +
                       "; running AutoRun");
  RunArguments run;
  run.oid = oid;
  run.changes = true;
  run.report = "status";
  const int status = RunBridge(context, run);
  if (status == kInterrupted) return status;
  HostSession session(context.options);
  const std::vector<std::string> kept = KeepSavedFiles(oid, folder);
  if (!context.options.json) {
    std::cout << "\nThe database: " << context.options.db
              << "\nThe files as the Bridge saved them: " << kept[0] << ", " << kept[1]
              << "\nTry: ovcbridge --db " << context.options.db << " bridge show " << oid
              << std::endl;
  }
  return status;
}

}  // namespace

void AddDemoCommand(CLI::App& app, Context& context) {
  auto folder = std::make_shared<std::string>("ovcbridge-demo");
  CLI::App* demo = app.add_subcommand(
      "demo", "Make the sample plant, a workbook, a data sheet and a Bridge over them, and run it");
  demo->add_option("FOLDER", *folder, "Where to put the database and the files")
      ->capture_default_str();
  demo->footer("Examples:\n  ovcbridge demo\n  ovcbridge demo /tmp/pumps --json");
  demo->callback([&context, folder] {
    context.action = [&context, folder] { return Demo(context, *folder); };
  });
}

}  // namespace ovc::cli
