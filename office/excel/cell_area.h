#pragma once

#include <string>
#include <string_view>

#include "office/excel/cell_reference.h"

namespace ovc::excel {

// Reads an area in A1 form ("B2", "A1:C3", "$A$1:$B$2"); the corners are put
// in order. False, *area untouched, for anything else.
bool ParseA1Area(std::string_view text, CellArea* area);
// "A1:C3", or "B2" for one cell.
std::string FormatA1Area(const CellArea& area);
// True when `cell` lies in `area`.
bool Contains(const CellArea& area, CellRef cell);

}  // namespace ovc::excel
