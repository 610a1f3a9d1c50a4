#include "office/excel/refers_to.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ovc::excel {
namespace {

TEST(RefersToTest, ReadsAreasOfThisWorkbook) {
  std::vector<SheetArea> areas;
  std::string reason;
  ASSERT_TRUE(ParseRefersTo("=Sheet1!C10:C14,'S, ''2'''!$1:$1", &areas, &reason)) << reason;
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ(areas[0].sheet, "Sheet1");
  EXPECT_EQ(areas[0].area, (CellArea{{10, 3}, {14, 3}}));
  EXPECT_EQ(areas[1].sheet, "S, '2'");
}

TEST(RefersToTest, NamesWhyANameHasNoCells) {
  const struct {
    const char* formula;
    const char* reason;
  } cases[] = {
      {"", "refers to nothing"},
      {"-1.5E3", "refers to a constant"},
      {"Sheet1!$A$1*2", "refers to a formula"},
      {"\"[1]\"&\"x\"", "refers to a formula"},
      {"Sheet1!#REF!", "refers to a deleted reference (#REF!)"},
      {"[1]Sheet1!$A$1", "refers to another workbook"},
      {"Sheet1:Sheet3!$A$1", "refers to several sheets (3-D reference)"},
      {"OFFSET(Sheet1!$A$1,0,0,COUNTA(Sheet1!$A:$A),1)", "is dynamic (OFFSET)"},
      {"Sheet1!$A$1:index(Sheet1!$A:$A,5)", "is dynamic (INDEX)"},
  };
  for (const auto& c : cases) {
    std::vector<SheetArea> areas;
    std::string reason;
    EXPECT_FALSE(ParseRefersTo(c.formula, &areas, &reason)) << c.formula;
    EXPECT_EQ(reason, c.reason) << c.formula;
  }
}

}  // namespace
}  // namespace ovc::excel
