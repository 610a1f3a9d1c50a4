#pragma once

#include <string>
#include <string_view>

#include "automation/hresult.h"
#include "office/excel/cell_reference.h"

namespace ovc::excel {

// The longest text Application.Range accepts, in characters (after
// trimming).
inline constexpr size_t kMaxRangeTextLength = 2048;

// What the text given to Application.Range names, before it is looked up.
struct RangeText {
  std::string book;   // "[Book.xlsx]" of the prefix; "" when none
  std::string sheet;  // the sheet of the prefix; "" for an unqualified name
  std::string name;   // the text after the prefix: a name, or a reference
  // With a sheet: true and `area` when `name` also reads as an A1 reference.
  // The caller looks for a sheet-level name first, then takes the area.
  bool is_reference = false;
  CellArea area;
};

// Reads Application.Range's text: trimmed of blanks, at most 2,048
// characters, "Sheet!X", "'My Sheet'!X" or "[Book.xlsx]Sheet!X" (X a name or
// an A1 reference: "B2", "$B$2:$C$4", "$A:$A", "$1:$3"), or "X" alone (a
// name). True and *out on success. False, with *reason and *code
// (E_INVALIDARG), for empty or too long text, a malformed prefix, an R1C1
// reference, and unqualified cell references ("unqualified cell reference
// 'B2': qualify it with a sheet name").
bool ParseRangeText(std::string_view text, RangeText* out, std::string* reason, HRESULT* code);

}  // namespace ovc::excel
