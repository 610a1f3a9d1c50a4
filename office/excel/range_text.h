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
  std::string text;   // the whole text, trimmed, for messages
  // True and `area` when `name` also reads as an A1 reference. A name of
  // that spelling in the workbook wins; otherwise the caller takes the area
  // when the text has a sheet, and refuses it without one.
  bool is_reference = false;
  CellArea area;
  // True when `name` reads as an R1C1 reference only: refused unless the
  // workbook has a name of that spelling.
  bool is_r1c1 = false;
};

// Reads Application.Range's text: trimmed of blanks, at most 2,048
// characters, "Sheet!X", "'My Sheet'!X" or "[Book.xlsx]Sheet!X" (X a name or
// an A1 reference: "B2", "$B$2:$C$4", "$A:$A", "$1:$3"), or "X" alone (a
// name, or a reference when no name of that spelling exists). True and *out
// on success. False, with *reason and *code (E_INVALIDARG), for empty or too
// long text or a malformed prefix.
bool ParseRangeText(std::string_view text, RangeText* out, std::string* reason, HRESULT* code);

}  // namespace ovc::excel
