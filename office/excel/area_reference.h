#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "automation/hresult.h"
#include "office/excel/cell_reference.h"

namespace ovc::excel {

// Reads one area in A1 form, with or without "$" on each part: a cell ("B2"),
// two corners ("$B$2:$C$4", put in order: "C4:B2" is B2:C4), whole columns
// ("$A:$C", every row) or whole rows ("$1:$3", every column). Letters in
// either case. True and *area on success; false, *area untouched, for
// anything else (blanks, sheet prefixes, parts outside the sheet).
bool ParseAreaReference(std::string_view text, CellArea* area);

// True when the text reads as a reference in R1C1 form, absolute or relative
// ("R2C3", "RC", "R[-1]C[2]", "R", "C4", "R1:R3"), in either case; row and
// column numbers are not checked against the sheet.
bool ReadsAsR1C1Reference(std::string_view text);

// The size of an area as Range.Count, Rows.Count and Columns.Count give it:
// every cell counts, merged or not.
int64_t AreaRows(const CellArea& area);
int64_t AreaColumns(const CellArea& area);
int64_t AreaCells(const CellArea& area);

// Range.Resize: the block of `rows` x `columns` cells anchored at the area's
// top-left cell, a missing count keeping the area's own. True and *resized
// on success; false, *reason and *code (E_INVALIDARG) when a count is below
// 1 or the block would pass the last row or column.
bool ResizeArea(const CellArea& area, std::optional<int32_t> rows, std::optional<int32_t> columns,
                CellArea* resized, std::string* reason, HRESULT* code);

// How an address is written.
struct AddressStyle {
  bool row_absolute = true;
  bool column_absolute = true;
  bool r1c1 = false;
};

// The area's address without sheet: "$C$10:$C$14", one cell without ":"
// ("$C$10"), an area of every row as columns ("$A:$A"), an area of every
// column as rows ("$1:$3"). In R1C1 form "R10C3:R14C3", "C1", "R1:R3"; a part
// that is not absolute is written relative to A1 ("R[9]C[2]"). The area must
// be inside the sheet with its corners in order.
std::string FormatAddress(const CellArea& area, AddressStyle style);

}  // namespace ovc::excel
