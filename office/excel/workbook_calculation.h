#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "office/excel/cell_store.h"
#include "office/excel/formula/formula.h"
#include "office/excel/formula/workbook_view.h"
#include "office/excel/workbook_document.h"

namespace ovc::excel {

// One calculation of an open workbook: finds the formulas that are stale
// or read cells written since the last calculation, and everything that
// reads those, evaluates them in dependency order and stores each result as
// its cell's cached value (written by the next save). A formula that cannot
// be calculated (a function the evaluator lacks, a circular reference,
// text it cannot read) keeps failing to read, with the reason.
class WorkbookCalculation final : public formula::WorkbookView {
 public:
  // `document` is borrowed and must outlive the calculation; `now` is the
  // current local date and time as a serial number.
  WorkbookCalculation(WorkbookDocument& document, double now) : document_(document), now_(now) {}

  // Calculates. Sheets that cannot be read as worksheets (chart sheets, a
  // malformed part) are left out: their cells read as #REF!.
  void Run();
  // How many formula cells Run evaluated.
  size_t evaluated() const { return evaluated_; }

  formula::Value CellValue(int32_t sheet, int32_t row, int32_t column) override;
  void UsedExtent(int32_t sheet, int32_t* last_row, int32_t* last_column) override;
  int32_t SheetIndex(std::string_view name) override;
  bool NameFormula(std::string_view name, int32_t sheet, std::string* formula) override;
  double Now() override { return now_; }

 private:
  struct FormulaCell {
    int32_t sheet;
    CellRef cell;
    CalculatedFormula source;
    formula::Formula formula;  // names expanded
    std::string problem;       // why it cannot be calculated
  };

  void ReadSheets();
  void ReadFormula(int32_t sheet, CellRef cell);
  formula::Value Calculated(const FormulaCell& cell, std::string* problem);

  WorkbookDocument& document_;
  const double now_;
  std::vector<Sheet*> sheets_;  // null for a sheet that cannot be read
  std::vector<CellRef> extents_;
  std::vector<FormulaCell> formulas_;
  size_t evaluated_ = 0;
};

// The current local date and time as a serial number.
double LocalNowSerial();

}  // namespace ovc::excel
