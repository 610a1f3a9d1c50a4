#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "office/excel/cell_store.h"
#include "office/excel/formula/dependency_graph.h"
#include "office/excel/formula/formula.h"
#include "office/excel/formula/serial_date.h"
#include "office/excel/formula/workbook_view.h"
#include "office/excel/workbook_document.h"

namespace ovc::excel {

// The calculation of an open workbook: keeps its formulas parsed and the
// cells each reads, and on every Run evaluates, in dependency order, the
// formulas that are stale or read cells written since the last Run, and
// everything that reads those, storing each result as its cell's cached
// value (written by the next save). The formulas are read at the first Run;
// later Runs read again only the cells written since, and the formulas using
// names when a name changed. A formula that cannot be calculated (a function
// the evaluator lacks, a circular reference, text it cannot read), and every
// formula reading it directly or not, keeps failing to read, with the reason,
// and loses its cached value.
class WorkbookCalculation final : public formula::WorkbookView {
 public:
  // `document` is borrowed and must outlive the calculation, and change only
  // through its cell store and names while the calculation is kept.
  explicit WorkbookCalculation(WorkbookDocument& document) : document_(document) {}

  // Calculates; `now` is the current local date and time as a serial
  // number. Sheets that cannot be read as worksheets (chart sheets, a
  // malformed part) are left out: their cells read as #REF!.
  void Run(double now);
  // How many formula cells the last Run evaluated.
  size_t evaluated() const { return evaluated_; }

  formula::Value CellValue(int32_t sheet, int32_t row, int32_t column) override;
  void UsedExtent(int32_t sheet, int32_t* last_row, int32_t* last_column) override;
  int32_t SheetIndex(std::string_view name) override;
  bool NameFormula(std::string_view name, int32_t sheet, std::string* formula) override;
  bool TableArea(const formula::StructuredReference& reference, formula::Area* area,
                 std::string* problem) override;
  double Now() override { return now_; }
  double DateOffset() override {
    return document_.cells().settings().date_system() == formula::DateSystem::k1904
               ? formula::k1904Offset
               : 0;
  }

 private:
  struct FormulaCell {
    int32_t sheet;
    CellRef cell;
    CalculatedFormula source;
    formula::Formula formula;  // names expanded
    bool uses_names = false;
    std::string problem;  // why it cannot be calculated
  };

  // Reads every sheet and formula; *stale gets the formulas whose cached
  // values cannot be trusted.
  void Build(std::vector<formula::CellKey>* stale);
  // Reads again the cells written since the last Run, and the formulas
  // using names when a name changed; *stale gets the formulas read.
  void ReadChanges(std::vector<formula::CellKey>* stale);
  void ReadArea(int32_t sheet, const CellArea& area, std::vector<formula::CellKey>* stale);
  // Reads the formula of a cell into the graph, or drops the cell from it
  // when it has none; true when it has one.
  bool ReadFormula(int32_t sheet, CellRef cell);
  void GrowExtent(int32_t sheet, CellRef cell);
  // Keeps the value just stored in a cell for the cells that read it.
  void Remember(const formula::CellKey& cell, const formula::Value& stored);
  int32_t SheetOfId(uint32_t sheet_id) const;
  formula::Value Calculated(const FormulaCell& cell, std::string* problem);
  std::string CellName(const formula::CellKey& cell) const;
  // Files `cell` and every formula reading it, directly or not, under `root`
  // in *blocked.
  void Block(const formula::CellKey& cell, size_t root,
             std::unordered_map<uint64_t, size_t>* blocked) const;
  // Evaluates `order` and stores the results; returns the failures.
  std::map<std::tuple<uint32_t, int32_t, int32_t>, std::string> Evaluate(
      const std::vector<formula::CellKey>& order, const std::vector<formula::CellKey>& circular);

  WorkbookDocument& document_;
  double now_ = 0;
  bool built_ = false;
  std::vector<Sheet*> sheets_;  // null for a sheet that cannot be read
  std::vector<CellRef> extents_;
  std::unordered_map<uint64_t, FormulaCell> formulas_;  // by their key
  formula::DependencyGraph graph_;
  // The values of the cells read or calculated, by their key; blank cells
  // are looked up each time, as the sheet finds them fast.
  std::unordered_map<uint64_t, formula::Value> values_;
  std::vector<formula::CellKey> failed_;  // by the last Run: evaluated again by the next
  size_t evaluated_ = 0;
};

// The current local date and time as a serial number.
double LocalNowSerial();

}  // namespace ovc::excel
