#include "office/word/table_grid.h"

#include <gtest/gtest.h>

#include "tests/office/word/word_snippet.h"

namespace ovc::word {
namespace {

using testing::Snippet;

// A cell holding `text`, with `properties` inside w:tcPr.
std::string Cell(const std::string& text, const std::string& properties = "") {
  return "<w:tc><w:tcPr>" + properties + "</w:tcPr><w:p><w:r><w:t>" + text +
         "</w:t></w:r></w:p></w:tc>";
}

// Row 1: a skipped grid column, "g1" spanning two, "g2"; row 2 "h1".."h4"
// with "h2" starting a vertical merge that row 3's second cell continues;
// row 3 inside a content control and its last cell "k4" in custom XML; a
// nested table in "h4" whose rows are not the table's.
const std::string kGeometry =
    "<w:tbl><w:tblGrid><w:gridCol/><w:gridCol/><w:gridCol/><w:gridCol/></w:tblGrid>"
    "<w:tr><w:trPr><w:gridBefore w:val='1'/></w:trPr>" +
    Cell("g1", "<w:gridSpan w:val='2'/>") + Cell("g2") + "</w:tr><w:tr>" + Cell("h1") +
    Cell("h2", "<w:vMerge w:val='restart'/>") + Cell("h3") + "<w:tc><w:tbl><w:tr>" + Cell("n") +
    "</w:tr></w:tbl><w:p/></w:tc></w:tr>"
    "<w:sdt><w:sdtPr/><w:sdtContent><w:tr>" +
    Cell("k1") + Cell("", "<w:vMerge/>") + Cell("k3") + "<w:customXml w:element='x'>" + Cell("k4") +
    "</w:customXml></w:tr>"
    "</w:sdtContent></w:sdt></w:tbl>";

std::string CellText(pugi::xml_node cell) {
  return cell ? std::string(cell.child("w:p").child("w:r").child_value("w:t")) : "(none)";
}

TEST(TableGridTest, NumbersCellsByPositionInTheirRow) {
  const Snippet snippet(kGeometry);
  const TableGrid grid(snippet.root());
  EXPECT_EQ(grid.row_count(), 3);
  EXPECT_EQ(grid.column_count(), 4);
  const struct {
    int32_t row, column;
    const char* text;
  } cases[] = {{1, 1, "g1"},     {1, 2, "g2"},    {1, 3, "(none)"}, {2, 2, "h2"},
               {2, 4, ""},       {3, 1, "k1"},    {3, 2, "(none)"}, {3, 4, "k4"},
               {0, 1, "(none)"}, {4, 1, "(none)"}};
  for (const auto& c : cases) {
    EXPECT_EQ(CellText(grid.Cell(c.row, c.column)), c.text) << c.row << "," << c.column;
  }
  int32_t row = 0;
  int32_t column = 0;
  ASSERT_TRUE(grid.Locate(grid.cells(3)[3], &row, &column));
  EXPECT_EQ(row * 10 + column, 34);
  const pugi::xml_node nested = grid.cells(2)[3].child("w:tbl");
  EXPECT_FALSE(grid.Locate(nested.child("w:tr").child("w:tc"), &row, &column));
  EXPECT_EQ(TableOf(nested.child("w:tr").child("w:tc")), nested);
  EXPECT_TRUE(grid.HasHorizontalMerge());
}

// LocateCell, reading no grid, places each cell (nested, wrapped, or out
// of reach in an unknown element) as the grid of its table does, whether
// names are resolved one by one or by the part's prefix.
TEST(TableGridTest, LocatesEachCellAsTheGridOfItsTableDoes) {
  const Snippet snippet("<w:body>" + kGeometry + "<w:tbl><w:tr><w:unknown>" + Cell("out") +
                        "</w:unknown>" + Cell("in") + "</w:tr></w:tbl></w:body>");
  const WordNames names(snippet.document());
  const pugi::xpath_node_set cells = snippet.root().select_nodes(".//*[local-name()='tc']");
  ASSERT_EQ(cells.size(), 13u);
  for (const WordNames* given : {static_cast<const WordNames*>(nullptr), &names}) {
    for (const pugi::xpath_node& found : cells) {
      const pugi::xml_node cell = found.node();
      int32_t row = 0, column = 0, grid_row = 0, grid_column = 0;
      const bool located = LocateCell(cell, given, &row, &column);
      ASSERT_EQ(located, TableGrid(TableOf(cell), given).Locate(cell, &grid_row, &grid_column))
          << CellText(cell);
      EXPECT_EQ(row * 10 + column, grid_row * 10 + grid_column) << CellText(cell);
      EXPECT_EQ(located, CellText(cell) != "out");
    }
  }
}

TEST(TableGridTest, FindsHorizontalMerges) {
  const struct {
    const char* properties;
    bool merged;
  } cases[] = {{"<w:gridSpan w:val='1'/>", false}, {"<w:hMerge w:val='restart'/>", true}};
  for (const auto& c : cases) {
    const Snippet snippet("<w:tbl><w:tr>" + Cell("a") + Cell("b", c.properties) +
                          "</w:tr></w:tbl>");
    EXPECT_EQ(TableGrid(snippet.root()).HasHorizontalMerge(), c.merged) << c.properties;
  }
}

TEST(TableGridTest, StepsOverReachableCells) {
  const Snippet snippet(kGeometry);
  const TableGrid grid(snippet.root());
  const struct {
    bool right;
    int32_t row, column, count;
    int32_t steps, to_row, to_column;
  } cases[] = {
      {true, 1, 2, 1, 1, 2, 1},   // on to the next row
      {true, 2, 4, 2, 2, 3, 3},   // over the merge continuation
      {true, 3, 3, 5, 1, 3, 4},   // stops at the last cell
      {false, 1, 2, 3, 1, 2, 2},  // the continuation below cannot be reached
      {false, 3, 1, 1, 0, 3, 1},  // the last row
  };
  for (const auto& c : cases) {
    int32_t row = c.row;
    int32_t column = c.column;
    const int32_t steps =
        c.right ? grid.StepRight(&row, &column, c.count) : grid.StepDown(&row, &column, c.count);
    EXPECT_EQ(steps, c.steps) << c.row << "," << c.column;
    EXPECT_EQ(row * 10 + column, c.to_row * 10 + c.to_column) << c.row << "," << c.column;
  }
}

}  // namespace
}  // namespace ovc::word
