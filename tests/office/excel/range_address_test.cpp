#include "office/excel/range_address.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc::excel {
namespace {

TEST(RangeAddressTest, WritesAddressesAsRangeAddressDoes) {
  const CellArea block{{10, 3}, {14, 3}};
  const CellArea cell{{10, 3}, {10, 3}};
  const struct {
    const char* book;
    const char* sheet;
    CellArea area;
    bool absolute;
    int32_t style;
    bool external;
    const char* address;
  } cases[] = {
      {"Book.xlsx", "Sheet1", block, true, kReferenceStyleA1, true,
       "[Book.xlsx]Sheet1!$C$10:$C$14"},
      {"My Book.xlsx", "My Sheet", cell, true, kReferenceStyleA1, true,
       "'[My Book.xlsx]My Sheet'!$C$10"},
      {"Book.xlsx", "Bob's", cell, false, kReferenceStyleA1, true, "'[Book.xlsx]Bob''s'!C10"},
      {"Book.xlsx", "Sheet1", block, true, kReferenceStyleA1, false, "$C$10:$C$14"},
      {"Book.xlsx", "Sheet1", block, true, kReferenceStyleR1C1, true,
       "[Book.xlsx]Sheet1!R10C3:R14C3"},
  };
  for (const auto& c : cases) {
    AddressStyle style;
    std::string reason;
    HRESULT code = S_OK;
    ASSERT_TRUE(AddressStyleOf(c.absolute, c.absolute, c.style, &style, &reason, &code));
    EXPECT_EQ(RangeAddress(c.book, c.sheet, c.area, style, c.external), c.address);
  }
  AddressStyle style;
  std::string reason;
  HRESULT code = S_OK;
  EXPECT_FALSE(AddressStyleOf(true, true, 2, &style, &reason, &code));
  EXPECT_EQ(code, E_INVALIDARG);
}

}  // namespace
}  // namespace ovc::excel
