#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/office/word/word_automation.h"

namespace ovc::word {
namespace {

using office::testing::CopyFixture;
using testing::BookmarkRange;
using testing::Call;
using testing::Object;
using testing::WordTest;

class TablesTest : public WordTest {
 protected:
  void SetUp() override { document_ = Open(CopyFixture(folder_, "tables.docx")); }
  ComPtr<IDispatch> RangeOf(const wchar_t* bookmark) {
    return BookmarkRange(document_.get(), bookmark);
  }
  ComPtr<IDispatch> TableOf(const wchar_t* bookmark, int32_t index = 1) {
    return Object(Object(RangeOf(bookmark).get(), L"Tables").get(), L"Item", {Variant::I4(index)});
  }
  // "row,column:text" of a cell; its failure as an error value.
  static std::string Describe(IDispatch* cell) {
    const Variant text = Call(Object(cell, L"Range").get(), L"Text");
    if (text.vt() != VT_BSTR) return "no cell";
    return std::to_string(Call(cell, L"RowIndex").i4()) + "," +
           std::to_string(Call(cell, L"ColumnIndex").i4()) + ":" + ToUtf8(text.bstr());
  }

  ComPtr<IDispatch> document_;
};

TEST_F(TablesTest, CellsByRowAndColumn) {
  ComPtr<IDispatch> nested = TableOf(L"InNested");
  ComPtr<IDispatch> formatted = TableOf(L"TwoTables");
  ComPtr<IDispatch> wide = TableOf(L"TwoTables", 2);
  const struct {
    IDispatch* table;
    int32_t row, column;
    std::string cell;
  } cases[] = {
      {nested.get(), 2, 2, "2,2:i4\r\a"},
      {nested.get(), 3, 1, "no cell"},
      {formatted.get(), 3, 1, "3,1:z1z1\r\a"},
      {wide.get(), 1, 63, "1,63:63\r\a"},
  };
  for (const auto& c : cases) {
    const Variant cell = Call(c.table, L"Cell", {Variant::I4(c.row), Variant::I4(c.column)});
    EXPECT_EQ(cell.vt() == VT_DISPATCH ? Describe(cell.dispatch()) : "no cell", c.cell)
        << c.row << "," << c.column;
  }
}

TEST_F(TablesTest, RangeTablesAndCells) {
  const ComPtr<IDispatch> start = SelectionRange();  // before every table
  const struct {
    ComPtr<IDispatch> range;
    Variant tables;
    Variant cells;
  } cases[] = {
      {RangeOf(L"TwoTables"), Variant::I4(2), Variant::I4(6)},
      {RangeOf(L"InNested"), Variant::I4(1), Variant::I4(1)},
      {start, Variant::I4(0), Variant::Error(DISP_E_BADINDEX)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Call(Object(c.range.get(), L"Tables").get(), L"Count"), c.tables);
    const Variant cells = Call(c.range.get(), L"Cells");
    EXPECT_EQ(cells.vt() == VT_DISPATCH ? Call(cells.dispatch(), L"Count") : cells, c.cells);
  }
  ComPtr<IDispatch> cells = Object(RangeOf(L"InNested").get(), L"Cells");
  EXPECT_EQ(Describe(Object(cells.get(), L"Item", {Variant::I4(1)}).get()), "2,2:i4\r\a");
}

TEST_F(TablesTest, ItemsOutsideTheCollectionAreRefused) {
  ComPtr<IDispatch> tables = Object(RangeOf(L"TwoTables").get(), L"Tables");
  ComPtr<IDispatch> cells = Object(RangeOf(L"InNested").get(), L"Cells");
  const struct {
    IDispatch* collection;
    int32_t index;
    const char* reason;
  } cases[] = {
      {tables.get(), 0, "tables.docx: Tables: no table at position 0 of 2"},
      {tables.get(), 3, "tables.docx: Tables: no table at position 3 of 2"},
      {cells.get(), 2, "tables.docx: Cells: no cell at position 2 of 1"},
  };
  for (const auto& c : cases) {
    EXCEPINFO error;
    EXPECT_EQ(
        CallByName(c.collection, L"Item", DISPATCH_METHOD, {Variant::I4(c.index)}, nullptr, &error),
        DISP_E_BADINDEX);
    EXPECT_EQ(ToUtf8(error.description), c.reason);
  }
}

TEST_F(TablesTest, BookmarksOverBlocksOfCellsGiveOnlyTheirColumns) {
  document_ = Open(CopyFixture(folder_, "bookmarks.docx"));
  const struct {
    const wchar_t* bookmark;
    int32_t count;
    std::string first, last;
  } cases[] = {{L"Column", 3, "1,2:b1\r\a", "3,2:b3\r\a"}, {L"Block", 4, "2,2:b2\r\a", "3,3:"}};
  for (const auto& c : cases) {
    ComPtr<IDispatch> cells = Object(RangeOf(c.bookmark).get(), L"Cells");
    EXPECT_EQ(Call(cells.get(), L"Count"), Variant::I4(c.count));
    EXPECT_EQ(Describe(Object(cells.get(), L"Item", {Variant::I4(1)}).get()), c.first);
    const std::string last = Describe(Object(cells.get(), L"Item", {Variant::I4(c.count)}).get());
    EXPECT_EQ(last.substr(0, c.last.size()), c.last);
  }
}

TEST_F(TablesTest, RowsAndColumnsAppendOrAreRefused) {
  ComPtr<IDispatch> formatted = TableOf(L"TwoTables");
  ComPtr<IDispatch> after = RangeOf(L"InNested");
  ComPtr<IDispatch> rows = Object(formatted.get(), L"Rows");
  ComPtr<IDispatch> columns = Object(formatted.get(), L"Columns");
  ComPtr<IDispatch> wide = Object(TableOf(L"TwoTables", 2).get(), L"Columns");
  ComPtr<IDispatch> nested = Object(TableOf(L"InNested").get(), L"Columns");
  const struct {
    IDispatch* lines;
    std::vector<Variant> args;
    HRESULT status;
    int32_t count;
  } cases[] = {
      {rows.get(), {}, S_OK, 4},
      {columns.get(), {}, S_OK, 3},
      {rows.get(), {Variant::I4(1)}, E_NOTIMPL, 4},
      {wide.get(), {}, E_ACCESSDENIED, 63},
      {nested.get(), {}, S_OK, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CallByName(c.lines, L"Add", DISPATCH_METHOD, c.args, nullptr), c.status);
    EXPECT_EQ(Call(c.lines, L"Count"), Variant::I4(c.count));
  }
  EXPECT_EQ(Describe(Call(formatted.get(), L"Cell", {Variant::I4(4), Variant::I4(3)}).dispatch()),
            "4,3:\r\a");
  EXPECT_EQ(Call(after.get(), L"Text"), Variant(L"i4")) << "a live range after the table follows";
  EXPECT_EQ(Call(document_.get(), L"Saved"), Variant::Bool(false));
}

TEST_F(TablesTest, ProtectedOrTrackingDocumentsRefuseNewRows) {
  for (const char* fixture : {"protected_forms.docx", "tracking.docx"}) {
    document_ = Open(CopyFixture(folder_, fixture));
    ComPtr<IDispatch> rows = Object(TableOf(L"Vector").get(), L"Rows");
    EXPECT_EQ(CallByName(rows.get(), L"Add", DISPATCH_METHOD, {}, nullptr), E_ACCESSDENIED);
    EXPECT_EQ(Call(rows.get(), L"Count"), Variant::I4(3));
  }
}

}  // namespace
}  // namespace ovc::word
