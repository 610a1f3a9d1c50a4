#include "office/excel/refers_to.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovc::excel {
namespace {

TEST(RefersToTest, ReadsAreasOfThisWorkbook) {
  const struct {
    const char* formula;
    std::vector<std::string> sheets;
    CellArea first;
  } cases[] = {
      {"Sheet1!$C$10", {"Sheet1"}, {{10, 3}, {10, 3}}},
      {"=Sheet1!C10:C14", {"Sheet1"}, {{10, 3}, {14, 3}}},
      {"'My ''Sheet'''!$A:$A", {"My 'Sheet'"}, {{1, 1}, {kMaxRow, 1}}},
      {"Sheet1!$B$2,'S, 2'!$1:$1", {"Sheet1", "S, 2"}, {{2, 2}, {2, 2}}},
  };
  for (const auto& c : cases) {
    std::vector<SheetArea> areas;
    std::string reason;
    ASSERT_TRUE(ParseRefersTo(c.formula, &areas, &reason)) << c.formula << ": " << reason;
    ASSERT_EQ(areas.size(), c.sheets.size()) << c.formula;
    for (size_t i = 0; i < areas.size(); ++i) EXPECT_EQ(areas[i].sheet, c.sheets[i]);
    EXPECT_EQ(areas[0].area, c.first) << c.formula;
  }
}

TEST(RefersToTest, NamesWhyANameHasNoCells) {
  const struct {
    const char* formula;
    const char* reason;
  } cases[] = {
      {"", "refers to nothing"},
      {"0.05", "refers to a constant"},
      {"-1.5E3", "refers to a constant"},
      {"\"a \"\"b\"\"\"", "refers to a constant"},
      {"true", "refers to a constant"},
      {"#N/A", "refers to a constant"},
      {"{1,2;3,4}", "refers to a constant"},
      {"Sheet1!$A$1*2", "refers to a formula"},
      {"$A$1", "refers to a formula"},
      {"Table1[Amount]", "refers to a formula"},
      {"SUM(Sheet1!$A$1:$A$3)", "refers to a formula"},
      {"\"[1]\"&\"x\"", "refers to a formula"},
      {"#REF!", "refers to a deleted reference (#REF!)"},
      {"Sheet1!#REF!", "refers to a deleted reference (#REF!)"},
      {"[1]Sheet1!$A$1", "refers to another workbook"},
      {"'[Book 2.xlsx]My Sheet'!$A$1", "refers to another workbook"},
      {"[1]!Rate", "refers to another workbook"},
      {"Sheet1:Sheet3!$A$1", "refers to several sheets (3-D reference)"},
      {"'Sheet 1:Sheet 3'!$A$1", "refers to several sheets (3-D reference)"},
      {"OFFSET(Sheet1!$A$1,0,0,COUNTA(Sheet1!$A:$A),1)", "is dynamic (OFFSET)"},
      {"Sheet1!$A$1:index(Sheet1!$A:$A,5)", "is dynamic (INDEX)"},
      {"_xlfn.INDIRECT(\"Sheet1!A1\")", "is dynamic (INDIRECT)"},
      {"MYOFFSET(1)", "refers to a formula"},
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
