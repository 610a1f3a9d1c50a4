#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ovc::excel {

// Reading the text of a stored formula (A1 references, as in the file).

// The first volatile function the formula calls (NOW, TODAY, RAND,
// RANDBETWEEN, RANDARRAY, OFFSET, INDIRECT, CELL, INFO), in upper case
// without a "_xlfn." prefix; "" when it calls none.
std::string VolatileFunctionIn(std::string_view formula);

// Calls visit for every word of the formula that may name a defined name:
// identifiers outside strings, quoted sheet names and brackets, neither
// called as functions nor naming a sheet ("Rate" in "Sheet1!Rate" counts,
// "Sheet1" does not). Cell references and numbers are visited too; no name
// reads as one. Stops when visit returns false.
void ForEachNameIn(std::string_view formula, const std::function<bool(std::string_view)>& visit);

// The formula as it reads from a cell `rows` below and `columns` right of
// its own: relative row and column parts of references moved, absolute ones
// ("$") kept. False when a reference would leave the sheet or the formula
// has whole-row or whole-column references.
bool ShiftReferences(std::string_view formula, int32_t rows, int32_t columns, std::string* shifted);

}  // namespace ovc::excel
