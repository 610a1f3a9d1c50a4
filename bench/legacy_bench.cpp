// Opens a 97-2003 workbook (.xls) of 1,000 names, writes 10 named cells
// through the automation interface (Application.Range(name).Value = x) and
// saves it back as .xls; against the floor, LibreOffice's own two
// conversions of the same file (.xls to .xlsx and back) in the same run.
// Prints both times and the ratio.
#include <stdlib.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/excel_bench_support.h"
#include "office/package/legacy_converter.h"

namespace ovc::excel::bench {
namespace {

constexpr int kNames = 1000;
constexpr int kWrites = 10;

std::string NameOf(int i) { return "Input_" + std::to_string(i); }

// Names Input_0..Input_999 on Sheet1!$A$1..$A$1000, each cell a number.
bool WriteWorkbook(const std::string& path) {
  std::string names, rows;
  for (int i = 0; i < kNames; ++i) {
    const std::string row = std::to_string(i + 1);
    names += "<definedName name=\"" + NameOf(i) + "\">Sheet1!$A$" + row + "</definedName>";
    rows += "<row r=\"" + row + "\"><c r=\"A" + row + "\"><v>" + row + "</v></c></row>";
  }
  return WriteOneSheetWorkbook(path, names, rows);
}

// Converts `source` to `format` in `folder`; the converted file's path, or
// "" with the failure printed.
std::string Convert(const std::string& source, office::ConvertedFormat format,
                    const office::WorkingFolder& folder) {
  std::string output;
  std::string error;
  if (office::ConvertWithLibreOffice(source, format, folder, source,
                                     office::DefaultConverterOptions(), &output, &error) != S_OK) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return "";
  }
  return output;
}

// LibreOffice's conversion of the .xls to .xlsx and back, in one folder as
// the working copy's are.
bool ConvertTwice(const std::string& legacy) {
  office::WorkingFolder folder;
  if (!folder.Create()) return false;
  const std::string package = Convert(legacy, office::ConvertedFormat::kXlsx, folder);
  return !package.empty() && !Convert(package, office::ConvertedFormat::kXls, folder).empty();
}

std::string Text(double value) {
  char digits[32];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3);
  return std::string(digits, result.ptr);
}

int Run() {
  std::string folder = (std::filesystem::temp_directory_path() / "legacy-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) return 1;
  const std::string package = folder + "/book.xlsx";
  const std::string legacy = folder + "/book.xls";
  office::WorkingFolder setup;
  std::string converted;
  const bool ready = WriteWorkbook(package) && setup.Create() &&
                     !(converted = Convert(package, office::ConvertedFormat::kXls, setup)).empty();
  std::error_code ignored;
  if (ready) std::filesystem::copy_file(converted, legacy, ignored);
  std::vector<std::string> names;
  for (int i = 0; i < kWrites; ++i) names.push_back(NameOf(i * (kNames / kWrites)));
  const double floor = ready ? Seconds([&] { return ConvertTwice(legacy); }) : -1;
  const double ours = ready ? Seconds([&] {
    return WriteNamedCells(legacy, names, [](size_t i) { return 0.5 + static_cast<double>(i); });
  })
                            : -1;
  std::filesystem::remove_all(folder, ignored);
  if (floor <= 0 || ours <= 0) {
    std::fprintf(stderr, "legacy_bench: a step failed\n");
    return 1;
  }
  std::printf("LibreOffice's two conversions (floor): %s s\n", Text(floor).c_str());
  std::printf("open + %d writes + save of the .xls:    %s s\n", kWrites, Text(ours).c_str());
  std::printf("ratio: %s (goal: at most 1.3)\n", Text(ours / floor).c_str());
  return 0;
}

}  // namespace
}  // namespace ovc::excel::bench

int main() { return ovc::excel::bench::Run(); }
