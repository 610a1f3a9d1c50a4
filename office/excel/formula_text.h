#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ovc::excel {

// Reading the text of a stored formula (A1 references, as in the file).

// The first volatile function the formula calls (NOW, TODAY, RAND,
// RANDBETWEEN, RANDARRAY, OFFSET, INDIRECT, CELL, INFO), in upper case
// without a "_xlfn." prefix; "" when it calls none.
std::string VolatileFunctionIn(std::string_view formula);

// The formula as it reads from a cell `rows` below and `columns` right of
// its own: relative row and column parts of references moved, absolute ones
// ("$") kept. False when a reference would leave the sheet or the formula
// has whole-row or whole-column references.
bool ShiftReferences(std::string_view formula, int32_t rows, int32_t columns, std::string* shifted);

}  // namespace ovc::excel
