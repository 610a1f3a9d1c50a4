// Opens a workbook with 10,000 workbook-level names (one cell each), writes a
// number to every name's cell through the automation interface as the library
// does (Application.Range(name).Value = x) and saves; against the floor
// (open the package, parse the sheet and workbook parts, write them back,
// save) and against openpyxl and ExcelJS doing the same job. Prints the
// times and the ratios.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/excel_bench_support.h"
#include "office/package/archive.h"

namespace ovc::excel::bench {
namespace {

constexpr int kNames = 10000;

std::string NameOf(int i) { return "Rate_" + std::to_string(i); }

// The workbook: names Rate_0..Rate_9999 on Sheet1!$A$1..$A$10000, the cells holding 0.
bool WriteWorkbook(const std::string& path) {
  std::string names, rows;
  for (int i = 0; i < kNames; ++i) {
    names += "<definedName name=\"" + NameOf(i) + "\">Sheet1!$A$" + std::to_string(i + 1) +
             "</definedName>";
    rows += "<row r=\"" + std::to_string(i + 1) + "\"><c r=\"A" + std::to_string(i + 1) +
            "\"><v>0</v></c></row>";
  }
  return WriteOneSheetWorkbook(path, names, rows);
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace
}  // namespace ovc::excel::bench

int main() {
  using namespace ovc::excel::bench;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("excel-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string book = (folder / "Names.xlsx").string();
  const std::string scripts = std::string(OVC_SOURCE_DIR) + "/bench/";
  std::vector<std::string> names;
  for (int i = 0; i < kNames; ++i) names.push_back(NameOf(i));
  // A fresh copy of the workbook before each run, written outside the timing.
  auto fresh = [&] { return WriteWorkbook(book); };
  fresh();
  const double floor = Seconds([&] { return RewriteSheetAndWorkbook(book); });
  fresh();
  const double engine =
      Seconds([&] { return WriteNamedCells(book, names, [](size_t i) { return i * 0.5; }); });
  fresh();
  const double openpyxl = Seconds(
      [&] { return Run("/usr/bin/python3 " + scripts + "write_names_openpyxl.py " + book); });
  fresh();
  const double exceljs = Seconds(
      [&] { return Run("node " + scripts + "write_names_exceljs.js " + book + " 2>/dev/null"); });
  std::filesystem::remove_all(folder);
  std::printf(
      "10,000 names written and saved (engine and floor deflate rewritten parts at zlib "
      "level %d):\n  engine   %.3f s\n  floor    %.3f s\n",
      ovc::office::kDeflateLevel, engine, floor);
  std::printf("  openpyxl %.3f s\n", openpyxl);
  if (exceljs < 0) {
    std::printf("  ExcelJS  not available (NODE_PATH must name a node_modules with exceljs)\n");
  } else {
    std::printf("  ExcelJS  %.3f s\n", exceljs);
  }
  const double peer = exceljs > 0 && exceljs < openpyxl ? exceljs : openpyxl;
  std::printf(
      "ratios: faster peer / engine = %.1f (goal >= 10), engine / floor = %.2f (goal <= 3)\n",
      peer / engine, engine / floor);
  return engine > 0 && floor > 0 ? 0 : 1;
}
