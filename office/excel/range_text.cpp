#include "office/excel/range_text.h"

#include <utility>

#include "automation/text.h"
#include "office/excel/area_reference.h"
#include "office/excel/sheet_prefix.h"

namespace ovc::excel {

namespace {

bool Fail(std::string message, std::string* reason, HRESULT* code) {
  *reason = std::move(message);
  *code = E_INVALIDARG;
  return false;
}

}  // namespace

bool ParseRangeText(std::string_view text, RangeText* out, std::string* reason, HRESULT* code) {
  text = TrimBlanks(text);
  if (text.empty()) return Fail("no range given", reason, code);
  if (FromUtf8(text).size() > kMaxRangeTextLength) {
    return Fail("range text longer than 2,048 characters", reason, code);
  }
  SheetQualified split;
  if (!SplitSheetPrefix(text, &split) || split.rest.empty()) {
    return Fail("malformed reference '" + std::string(text) + "'", reason, code);
  }
  // "C1" and "R1:R3" read both ways; A1 form wins, as in a workbook in A1 mode.
  RangeText parsed;
  parsed.is_reference = ParseAreaReference(split.rest, &parsed.area);
  parsed.is_r1c1 = !parsed.is_reference && ReadsAsR1C1Reference(split.rest);
  parsed.book = std::move(split.book);
  parsed.sheet = std::move(split.sheet);
  parsed.name = std::string(split.rest);
  parsed.text = std::string(text);
  *out = std::move(parsed);
  return true;
}

}  // namespace ovc::excel
