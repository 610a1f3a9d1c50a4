#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "office/excel/formula/formula.h"
#include "office/excel/formula/structured_reference.h"
#include "office/excel/formula/value.h"

namespace ovc::excel::formula {

// What the evaluator reads of a workbook, implemented by the spreadsheet
// engine (or by a test). Sheets are 0-based indexes; rows and columns 1-based.
class WorkbookView {
 public:
  virtual ~WorkbookView() = default;

  // The value of a cell: a constant, or a formula's current result; blank
  // for an empty cell or a sheet that does not exist.
  virtual Value CellValue(int32_t sheet, int32_t row, int32_t column) = 0;
  // The last row and column any cell of the sheet uses (0 for an empty
  // sheet); cells beyond are blank.
  virtual void UsedExtent(int32_t sheet, int32_t* last_row, int32_t* last_column) = 0;
  // The index of the sheet of that name (either case); -1 when none.
  virtual int32_t SheetIndex(std::string_view name) = 0;
  // The formula (no "=") the defined name refers to as seen from `sheet`:
  // the sheet-level name of that sheet, else the workbook-level one. False
  // when there is none.
  virtual bool NameFormula(std::string_view name, int32_t sheet, std::string* formula) = 0;
  // The cells a structured reference names (its `this_row` left aside):
  // true and *area with its sheet; false with *problem ("no table 'T'",
  // "table 'T' has no column 'X'") when the workbook has none such, as a
  // workbook without tables answers.
  virtual bool TableArea(const StructuredReference& reference, Area* /*area*/,
                         std::string* problem) {
    *problem = "no table '" + reference.table + "'";
    return false;
  }
  // The current date and time as a serial number (days since 1899-12-30).
  virtual double Now() = 0;
  // The days the workbook's serial numbers lie after the 1900 date
  // system's: 0, or 1462 in the 1904 date system.
  virtual double DateOffset() { return 0; }
};

}  // namespace ovc::excel::formula
