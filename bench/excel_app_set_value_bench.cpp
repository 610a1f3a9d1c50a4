// Writes 10,000 numbers, each into a named cell of a workbook, through
// IApp.SetValue (the App hands each value to its Excel adapter, which
// selects the name, shows Excel and writes the value through late-bound
// calls) and saves; against the engine's own
// floor: the same values written through Application.Range(name).Value
// with DISPIDs looked up once, and the same save. Prints the time per value
// of each (best of three runs) and the ratio.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "automation/text.h"
#include "bench/excel_bench_support.h"
#include "office/excel/registration.h"
#include "ovcbridgesvcs/apps/app.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/frame/class_table.h"

namespace ovc::excel::bench {
namespace {

constexpr size_t kValues = 10000;

std::string NameOf(size_t i) { return "Input_" + std::to_string(i); }
double ValueOf(size_t i) { return static_cast<double>(i) + 0.25; }

// Input_0..Input_9999 on Sheet1!$A$1..$A$10000, every cell a number.
bool WriteWorkbook(const std::string& path) {
  std::string names, rows;
  for (size_t i = 0; i < kValues; ++i) {
    const std::string row = std::to_string(i + 1);
    names += "<definedName name=\"" + NameOf(i) + "\">Sheet1!$A$" + row + "</definedName>";
    rows += "<row r=\"" + row + "\"><c r=\"A" + row + "\"><v>0</v></c></row>";
  }
  return WriteOneSheetWorkbook(path, names, rows);
}

bool WriteThroughApp(const std::string& path) {
  const ComPtr<apps::CApp> app = MakeObject<apps::CApp>();
  if (Failed(app->put_Path(FromUtf8(path))) || Failed(app->Activate(VARIANT_FALSE))) {
    return false;
  }
  bool written = true;
  for (size_t i = 0; i < kValues && written; ++i) {
    written = Succeeded(app->SetValue(FromUtf8(NameOf(i)), Variant(ValueOf(i))));
  }
  written = written && Succeeded(app->Save());
  app->TerminateApp(VARIANT_FALSE);
  return written;
}

// Serves the library's ExcelApp class in this process, as the App makes its
// adapter by class.
bool RegisterAdapterClass() {
  uint32_t cookie = 0;
  const LibraryClass* adapter = LibraryClasses().Find(CLSID_ExcelApp);
  return adapter != nullptr &&
         Succeeded(CoRegisterClassObject(CLSID_ExcelApp, CreateClassFactory(*adapter).get(),
                                         CLSCTX_INPROC_SERVER, &cookie, {}));
}

// Whether the saved workbook holds the last value written.
bool LastValueSaved(const std::string& path) {
  const ComPtr<apps::CApp> app = MakeObject<apps::CApp>();
  Variant value;
  const bool saved = Succeeded(app->put_Path(FromUtf8(path))) &&
                     Succeeded(app->GetValue(FromUtf8(NameOf(kValues - 1)), &value)) &&
                     value == Variant(ValueOf(kValues - 1));
  app->TerminateApp(VARIANT_FALSE);
  return saved;
}

}  // namespace
}  // namespace ovc::excel::bench

int main() {
  using namespace ovc::excel::bench;
  if (ovc::Failed(ovc::excel::RegisterExcelClasses()) || !RegisterAdapterClass()) return 1;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("excel-app-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string book = (folder / "Values.xlsx").string();
  std::vector<std::string> names;
  for (size_t i = 0; i < kValues; ++i) names.push_back(NameOf(i));
  const double floor = BestOf(
      3, [&] { return WriteWorkbook(book); },
      [&] { return WriteNamedCells(book, names, ValueOf); });
  const double adapter = BestOf(
      3, [&] { return WriteWorkbook(book); }, [&] { return WriteThroughApp(book); });
  const bool saved = adapter >= 0 && LastValueSaved(book);
  std::filesystem::remove_all(folder);
  if (floor < 0 || adapter < 0 || !saved) {
    std::printf("a side failed\n");
    return 1;
  }
  std::printf(
      "10,000 named cells written one value at a time through IApp.SetValue and saved (best of "
      "3):\n  App and Excel adapter %.1f us per value\n  engine floor %.1f us per value\n"
      "ratio: App / engine floor time = %.2f\n",
      adapter * 1e6 / kValues, floor * 1e6 / kValues, adapter / floor);
  return 0;
}
