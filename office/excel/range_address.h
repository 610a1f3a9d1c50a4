#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/hresult.h"
#include "office/excel/area_reference.h"

namespace ovc::excel {

// The reference styles Range.Address takes.
inline constexpr int32_t kReferenceStyleA1 = 1;
inline constexpr int32_t kReferenceStyleR1C1 = -4150;

// The address style of Range.Address's arguments. True and *style on
// success; false, *reason and *code (E_INVALIDARG) for a reference style
// other than 1 (A1) and -4150 (R1C1).
bool AddressStyleOf(bool row_absolute, bool column_absolute, int32_t reference_style,
                    AddressStyle* style, std::string* reason, HRESULT* code);

// Range.Address: the area's address, after "[Book.xlsx]Sheet1!" when
// `external` ("'[My Book.xlsx]My Sheet'!" when the book or the sheet needs
// quotes), as FormatAddress and FormatSheetPrefix write them:
// "[Book.xlsx]Sheet1!$C$10:$C$14".
std::string RangeAddress(std::string_view book, std::string_view sheet, const CellArea& area,
                         AddressStyle style, bool external);

}  // namespace ovc::excel
