#include "office/excel/range_address.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc::excel {
namespace {

TEST(RangeAddressTest, WritesTheBookAndSheetPrefixWhenExternal) {
  const CellArea block{{10, 3}, {14, 3}};
  const struct {
    const char* book;
    const char* sheet;
    int32_t reference_style;
    bool external;
    const char* address;  // "" when refused
  } cases[] = {
      {"Book.xlsx", "Sheet1", kReferenceStyleA1, true, "[Book.xlsx]Sheet1!$C$10:$C$14"},
      {"My Book.xlsx", "It's", kReferenceStyleA1, true, "'[My Book.xlsx]It''s'!$C$10:$C$14"},
      {"Book.xlsx", "Sheet1", kReferenceStyleA1, false, "$C$10:$C$14"},
      {"Book.xlsx", "Sheet1", kReferenceStyleR1C1, true, "[Book.xlsx]Sheet1!R10C3:R14C3"},
      {"Book.xlsx", "Sheet1", 2, true, ""},
  };
  for (const auto& c : cases) {
    AddressStyle style;
    std::string reason;
    HRESULT code = S_OK;
    const bool valid = AddressStyleOf(true, true, c.reference_style, &style, &reason, &code);
    EXPECT_EQ(valid ? RangeAddress(c.book, c.sheet, block, style, c.external) : "", c.address);
    EXPECT_EQ(code, valid ? S_OK : E_INVALIDARG);
  }
}

}  // namespace
}  // namespace ovc::excel
