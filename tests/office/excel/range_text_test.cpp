#include "office/excel/range_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc::excel {
namespace {

TEST(RangeTextTest, ReadsNamesAndQualifiedReferences) {
  const struct {
    std::string text;
    const char* book;
    const char* sheet;
    const char* name;
    bool is_reference;
    CellArea area;
  } cases[] = {
      {"  Rate\t", "", "", "Rate", false, {}},
      {"Sheet1!Rate", "", "Sheet1", "Rate", false, {}},
      {"Sheet1!B2", "", "Sheet1", "B2", true, {{2, 2}, {2, 2}}},
      {"'My ''Sheet'''!$B$2:$C$4", "", "My 'Sheet'", "$B$2:$C$4", true, {{2, 2}, {4, 3}}},
      {"[Book.xlsx]Sheet1!$A:$A", "Book.xlsx", "Sheet1", "$A:$A", true, {{1, 1}, {kMaxRow, 1}}},
      {"'[My Book.xlsx]S 1'!$1:$3",
       "My Book.xlsx",
       "S 1",
       "$1:$3",
       true,
       {{1, 1}, {3, kMaxColumn}}},
      {"TAX2019x", "", "", "TAX2019x", false, {}},
      {std::string(2040, ' ') + std::string(2048, 'a'), "", "", "", false, {}},
  };
  for (const auto& c : cases) {
    RangeText parsed;
    std::string reason;
    HRESULT code = S_OK;
    ASSERT_TRUE(ParseRangeText(c.text, &parsed, &reason, &code)) << c.text << ": " << reason;
    EXPECT_EQ(parsed.book, c.book) << c.text;
    EXPECT_EQ(parsed.sheet, c.sheet) << c.text;
    if (*c.name != 0) {
      EXPECT_EQ(parsed.name, c.name) << c.text;
    }
    EXPECT_EQ(parsed.is_reference, c.is_reference) << c.text;
    if (c.is_reference) {
      EXPECT_EQ(parsed.area, c.area) << c.text;
    }
  }
}

TEST(RangeTextTest, RefusesWithTheReason) {
  const struct {
    std::string text;
    const char* reason;
  } cases[] = {
      {" B2 ", "unqualified cell reference 'B2': qualify it with a sheet name"},
      {"$B$2:$C$4", "unqualified cell reference '$B$2:$C$4': qualify it with a sheet name"},
      {"$A:$A", "unqualified cell reference '$A:$A': qualify it with a sheet name"},
      {"R2C2", "unqualified cell reference 'R2C2': qualify it with a sheet name"},
      {"Sheet1!R2C2", "R1C1 reference 'Sheet1!R2C2': write it in A1 form"},
      {" \t", "no range given"},
      {std::string(2049, 'a'), "range text longer than 2,048 characters"},
      {"'Sheet1!B2", "malformed reference ''Sheet1!B2'"},
      {"Sheet1!", "malformed reference 'Sheet1!'"},
  };
  for (const auto& c : cases) {
    RangeText parsed;
    std::string reason;
    HRESULT code = S_OK;
    EXPECT_FALSE(ParseRangeText(c.text, &parsed, &reason, &code)) << c.text;
    EXPECT_EQ(reason, c.reason);
    EXPECT_EQ(code, E_INVALIDARG) << c.text;
  }
}

}  // namespace
}  // namespace ovc::excel
