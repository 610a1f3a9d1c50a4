#include "office/excel/range_address.h"

#include "office/excel/sheet_prefix.h"

namespace ovc::excel {

bool AddressStyleOf(bool row_absolute, bool column_absolute, int32_t reference_style,
                    AddressStyle* style, std::string* reason, HRESULT* code) {
  if (reference_style != kReferenceStyleA1 && reference_style != kReferenceStyleR1C1) {
    *reason = "ReferenceStyle must be 1 (A1) or -4150 (R1C1)";
    *code = E_INVALIDARG;
    return false;
  }
  *style = {row_absolute, column_absolute, reference_style == kReferenceStyleR1C1};
  return true;
}

std::string RangeAddress(std::string_view book, std::string_view sheet, const CellArea& area,
                         AddressStyle style, bool external) {
  const std::string address = FormatAddress(area, style);
  return external ? FormatSheetPrefix(book, sheet) + address : address;
}

}  // namespace ovc::excel
