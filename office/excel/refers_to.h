#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "office/excel/cell_reference.h"

namespace ovc::excel {

// One area of a defined name, on a sheet named by its name.
struct SheetArea {
  std::string sheet;
  CellArea area;
};

// Reads the formula of a defined name (as stored: no "=", a leading one is
// skipped) as the cells it refers to: areas on sheets of this workbook
// ("Sheet1!$A$1", "'My Sheet'!$B$2:$C$4,Sheet2!$A:$A"), each read as written
// (a reference without "$" is not moved). True and *areas (in order, at
// least one) on success. False and *reason when the name refers to no cells
// of this workbook: "refers to a constant", "refers to a formula", "refers to
// a deleted reference (#REF!)", "refers to another workbook", "refers to
// several sheets (3-D reference)", "is dynamic (OFFSET)", "refers to
// nothing". Whether the sheets exist is the caller's to check.
bool ParseRefersTo(std::string_view formula, std::vector<SheetArea>* areas, std::string* reason);

// Splits a formula at the commas outside quotes, strings, parentheses and
// brackets: "Sheet1!A1,'a,b'!B2" -> "Sheet1!A1", "'a,b'!B2".
std::vector<std::string_view> SplitFormulaList(std::string_view formula);

// True when the text, a whole formula without "=", is a constant: a number,
// a string in double quotes, TRUE or FALSE, an error value ("#N/A") or an
// array constant ("{1,2;3,4}").
bool IsConstantFormula(std::string_view formula);

}  // namespace ovc::excel
