#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ovc::excel {

// The size of a worksheet.
inline constexpr int32_t kMaxRow = 1048576;
inline constexpr int32_t kMaxColumn = 16384;

// One cell, 1-based; {0, 0} is "no cell".
struct CellRef {
  int32_t row = 0;
  int32_t column = 0;
  friend bool operator==(const CellRef&, const CellRef&) = default;
};

// A rectangle of cells, both corners inclusive, first <= last in both
// directions.
struct CellArea {
  CellRef first;
  CellRef last;
  friend bool operator==(const CellArea&, const CellArea&) = default;
};

// Reads one cell in A1 form: column letters (either case) then the row
// number, each optionally after "$" ("B2", "$B$2", "b$2"). True and *cell on
// success; false, *cell untouched, for anything else (blanks, a range, a row
// or column outside the sheet).
bool ParseA1Cell(std::string_view text, CellRef* cell);

// "B2" for {2, 2}; no "$". The cell must be inside the sheet.
std::string FormatA1Cell(CellRef cell);

// The column's letters: 1 -> "A", 27 -> "AA", 16384 -> "XFD". The column
// must be inside the sheet.
std::string ColumnLetters(int32_t column);

// Reads column letters (either case, nothing else): "A" -> 1, "xfd" ->
// 16384. True and *column on success; false, *column untouched, when the text
// is not letters or names a column past the sheet.
bool ParseColumnLetters(std::string_view text, int32_t* column);

// Reads a row number (decimal digits, nothing else). True and *row on
// success; false, *row untouched, when the text is not digits or the row is
// outside the sheet.
bool ParseRowNumber(std::string_view text, int32_t* row);

}  // namespace ovc::excel
