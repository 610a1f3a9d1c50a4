#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

// What the spreadsheet benchmarks share: a one-sheet workbook written
// directly as a zip package, the jobs timed, and a stopwatch.
namespace ovc::excel::bench {

// Writes a zip package at `path` holding `parts` (name, content) in that
// order, deflated at the package's fast level. False when the file cannot
// be written.
bool WritePackage(const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& parts);

// Writes a package at `path` holding a workbook with one sheet "Sheet1":
// `defined_names` is the content of its definedNames element ("" for none),
// `sheet_data` that of the sheet's sheetData. Parts are deflated at the
// package's fast level. False when the file cannot be written.
bool WriteOneSheetWorkbook(const std::string& path, const std::string& defined_names,
                           const std::string& sheet_data);

// Opens the workbook at `path` in a new application, stores `value(i)` in
// the cell of each name through Application.Range(names[i]).Value, saves
// and quits. False when any call fails.
bool WriteNamedCells(const std::string& path, const std::vector<std::string>& names,
                     const std::function<double(size_t)>& value);

// Opens the package at `path`, parses the XML `parts` ("/xl/workbook.xml"),
// marks them changed and saves. False when any step fails.
bool RewriteParts(const std::string& path, const std::vector<std::string>& parts);

// Opens the package at `path`, parses its workbook and sheet parts, marks
// them changed and saves: the least any engine must do for the same job.
bool RewriteSheetAndWorkbook(const std::string& path);

// The seconds `job` took, or -1 when it failed.
double Seconds(const std::function<bool()>& job);

// The fewest seconds of `runs` runs of `job`, each after `prepare` (not
// timed) made its input afresh; -1 when any step failed. A short job timed
// once is mostly the machine's noise.
double BestOf(int runs, const std::function<bool()>& prepare, const std::function<bool()>& job);

}  // namespace ovc::excel::bench
