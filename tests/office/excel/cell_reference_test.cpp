#include "office/excel/cell_reference.h"

#include <gtest/gtest.h>
#include <string>

namespace ovc::excel {
namespace {

TEST(CellReferenceTest, ReadsOneCellOfTheSheet) {
  const struct {
    const char* text;
    CellRef cell;  // {0, 0} when refused
  } cases[] = {
      {"B2", {2, 2}},   {"$b$2", {2, 2}}, {"XFD1048576", {kMaxRow, kMaxColumn}},
      {"B2 ", {}},      {"B2:C3", {}},    {"XFE1", {}},
      {"A1048577", {}}, {"A0", {}},       {"A99999999999", {}},
  };
  for (const auto& c : cases) {
    CellRef cell;
    EXPECT_EQ(ParseA1Cell(c.text, &cell) ? cell : CellRef{}, c.cell) << c.text;
  }
}

TEST(CellReferenceTest, ColumnLettersRoundTrip) {
  const struct {
    int32_t column;
    const char* letters;
  } cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {702, "ZZ"}, {703, "AAA"}, {kMaxColumn, "XFD"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ColumnLetters(c.column), c.letters);
    int32_t column = 0;
    EXPECT_TRUE(ParseColumnLetters(c.letters, &column) && column == c.column) << c.letters;
  }
  EXPECT_EQ(FormatA1Cell({1048576, 703}), "AAA1048576");
}

}  // namespace
}  // namespace ovc::excel
