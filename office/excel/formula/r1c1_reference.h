#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "office/excel/formula/formula.h"

namespace ovc::excel::formula {

// Reads reference text in R1C1 style, as INDIRECT does when told to:
// "R2C3", "R[-1]C[2]" (relative to the cell at `row`, `column`), "RC",
// whole rows "R2" and columns "C[1]", ranges "R1C1:R2C2", each optionally
// after a sheet name and "!" (quoted with apostrophes when it must be).
// On success fills *area (its sheet left alone) and *sheet (empty when the
// text names none); false for other text or cells outside the sheet.
bool ParseR1C1(std::string_view text, int32_t row, int32_t column, Area* area, std::string* sheet);

}  // namespace ovc::excel::formula
