#pragma once

#include <cstdint>
#include <string>

#include <pugixml.hpp>

#include "automation/variant.h"
#include "office/excel/formula/serial_date.h"

namespace ovc::excel {

// The longest formula a cell holds, in UTF-16 code units.
inline constexpr size_t kMaxFormulaLength = 8192;

// What a value put into a cell stores there.
struct CellContent {
  enum class Kind { kEmpty, kNumber, kBoolean, kError, kText, kFormula };
  Kind kind = Kind::kEmpty;
  double number = 0;          // kNumber (a date's serial too)
  bool boolean = false;       // kBoolean
  SCODE error = 0;            // kError
  std::string text;           // kText: the stored (escaped) text; kFormula: the formula without "="
  bool quote_prefix = false;  // kText given with a leading apostrophe
  uint32_t date_format = 0;   // the built-in format a General cell takes for a date, or 0

  friend bool operator==(const CellContent&, const CellContent&) = default;
};

// What `value` stores in a cell: text starting with "'" as text without the
// apostrophe and with the quote prefix; text that reads as a number as that
// number; text starting with "=" as a formula; other text as text; numbers,
// booleans, errors and dates as themselves; empty and null as nothing.
// Failures, with *reason: E_INVALIDARG for NaN, infinities, a date no serial
// carries, a text or formula too long or not Unicode; DISP_E_TYPEMISMATCH
// for any other type (arrays, objects, error codes that are no cell error).
HRESULT ContentFromValue(const Variant& value, formula::DateSystem system, CellContent* content,
                         std::string* reason);

// Replaces what cell `c` holds (formula, value, type; cell metadata) by
// `content`, keeping its style and anything else it has.
void StoreContent(pugi::xml_node c, const CellContent& content);

}  // namespace ovc::excel
