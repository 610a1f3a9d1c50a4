#include "office/excel/cell_reference.h"

#include <gtest/gtest.h>

namespace ovc::excel {
namespace {

TEST(CellReferenceTest, ReadsA1Cells) {
  const struct {
    const char* text;
    CellRef cell;
  } cases[] = {
      {"B2", {2, 2}},
      {"$B$2", {2, 2}},
      {"b$2", {2, 2}},
      {"$AA10", {10, 27}},
      {"XFD1048576", {kMaxRow, kMaxColumn}},
      {"A01", {1, 1}},
  };
  for (const auto& c : cases) {
    CellRef cell;
    ASSERT_TRUE(ParseA1Cell(c.text, &cell)) << c.text;
    EXPECT_EQ(cell, c.cell) << c.text;
  }
}

TEST(CellReferenceTest, RefusesWhatIsNotOneCellOfTheSheet) {
  for (const char* text : {"", "B", "2", "$", "B$", "$$B2", "B$$2", "B2 ", " B2", "B2:C3", "XFE1",
                           "A1048577", "A0", "A99999999999", "R1C1", "B-2", "B2a", "1B"}) {
    CellRef cell{7, 7};
    EXPECT_FALSE(ParseA1Cell(text, &cell)) << text;
    EXPECT_EQ(cell, (CellRef{7, 7})) << text;
  }
}

TEST(CellReferenceTest, ColumnLettersRoundTrip) {
  const struct {
    int32_t column;
    const char* letters;
  } cases[] = {{1, "A"},   {26, "Z"},   {27, "AA"},   {52, "AZ"},
               {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {kMaxColumn, "XFD"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ColumnLetters(c.column), c.letters);
    int32_t column = 0;
    EXPECT_TRUE(ParseColumnLetters(c.letters, &column) && column == c.column) << c.letters;
  }
  EXPECT_EQ(FormatA1Cell({1048576, 703}), "AAA1048576");
}

}  // namespace
}  // namespace ovc::excel
