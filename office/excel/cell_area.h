#pragma once

#include "office/excel/area_reference.h"
#include "office/excel/cell_reference.h"

namespace ovc::excel {

// Addresses as the parts of a workbook write them: "A1:C3", without "$".
inline constexpr AddressStyle kRelativeA1{false, false, false};

// True when `cell` lies in `area`.
bool Contains(const CellArea& area, CellRef cell);

}  // namespace ovc::excel
