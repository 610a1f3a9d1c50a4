#include "office/excel/cell_store.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/safe_array.h"
#include "automation/text.h"
#include "office/excel/area_reference.h"
#include "tests/office/excel/xml_part.h"

namespace ovc::excel {
namespace {

constexpr std::string_view kStyles =
    "<styleSheet xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main'>"
    "<numFmts count='1'><numFmt numFmtId='164' formatCode='yyyy\\-mm\\-dd'/></numFmts>"
    "<cellXfs count='6'>"
    "<xf numFmtId='0' fontId='0' fillId='0' borderId='0' xfId='0'/>"   // 0 General
    "<xf numFmtId='14' fontId='0' fillId='0' borderId='0' xfId='0'/>"  // 1 date
    "<xf numFmtId='0' fontId='0' fillId='0' borderId='0' xfId='0' applyProtection='1'>"
    "<protection locked='0'/></xf>"                                     // 2 unlocked
    "<xf numFmtId='164' fontId='0' fillId='0' borderId='0' xfId='0'/>"  // 3 custom date
    "<xf numFmtId='0' fontId='0' fillId='0' borderId='0' xfId='0' quotePrefix='1'/>"  // 4
    "<xf numFmtId='7' fontId='0' fillId='0' borderId='0' xfId='0'/>"                  // 5 currency
    "</cellXfs></styleSheet>";

constexpr std::string_view kSharedStrings =
    "<sst xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main'>"
    "<si><t>shared</t></si><si><r><t>ri</t></r><r><t>ch</t></r><rPh><t>x</t></rPh></si></sst>";

// A workbook of one sheet, its parts in memory.
class CellStoreTest : public ::testing::Test {
 protected:
  void Open(std::string_view sheet_content, std::string_view workbook_content = "",
            std::string_view chain = "") {
    const std::string main = "xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main'>";
    LoadPart(&workbook_,
             "<workbook " + main + "<sheets/>" + std::string(workbook_content) + "</workbook>");
    LoadPart(&styles_, kStyles);
    LoadPart(&strings_, kSharedStrings);
    LoadPart(&chain_, "<calcChain " + main + std::string(chain) + "</calcChain>");
    LoadPart(&sheet_part_, Worksheet(sheet_content));
    sheet_ = std::make_unique<Sheet>(sheet_part_, 1);
    store_ = std::make_unique<CellStore>(BookParts{&workbook_, &styles_, &strings_, &chain_});
  }

  Variant Get(const char* area) {
    Variant value;
    CellFailure failure;
    const HRESULT hr = store_->GetValue(*sheet_, Area(area), &value, &failure);
    EXPECT_EQ(hr, S_OK) << area << ": " << failure.reason;
    return value;
  }

  HRESULT Put(const char* area, const Variant& value, CellFailure* failure = nullptr) {
    CellFailure ignored;
    return store_->PutValue(*sheet_, Area(area), value, failure ? failure : &ignored);
  }

  static CellArea Area(const char* text) {
    CellArea area;
    EXPECT_TRUE(ParseAreaReference(text, &area)) << text;
    return area;
  }

  std::string Cell(const char* ref) { return XmlOf(sheet_->FindCell(Area(ref).first)); }

  pugi::xml_document workbook_, styles_, strings_, chain_, sheet_part_;
  std::unique_ptr<Sheet> sheet_;
  std::unique_ptr<CellStore> store_;
};

TEST_F(CellStoreTest, ReadsEveryKindOfCellAndBlocksColumnByColumnInStorage) {
  Open(
      "<x:sheetData><x:row r='1'><x:c r='A1'><x:v>1</x:v></x:c><x:c r='B1'><x:v>2</x:v></x:c>"
      "<x:c r='E1' t='s'><x:v>1</x:v></x:c>"
      "<x:c r='F1' t='inlineStr' s='4'><x:is><x:t>in_x000D_line</x:t></x:is></x:c>"
      "<x:c r='I1' s='7'/>"
      "<x:c r='J1' t='str'><x:f>\"a\"&amp;\"b\"</x:f><x:v>ab</x:v></x:c>"
      "<x:c r='K1' t='d'><x:v>2020-01-02T12:00:00</x:v></x:c>"
      "</x:row><x:row r='2'><x:c r='A2'><x:v>3</x:v></x:c></x:row></x:sheetData>");
  EXPECT_EQ(Get("E1"), Variant(L"rich"));
  EXPECT_EQ(Get("F1"), Variant(L"in\rline"));
  EXPECT_EQ(Get("I1"), Variant());
  EXPECT_EQ(Get("J1"), Variant(L"ab"));
  EXPECT_EQ(Get("K1"), Variant::Date(43832.5));
  const Variant block = Get("A1:B2");
  ASSERT_TRUE(block.IsArray());
  EXPECT_EQ(block.array().bounds()[0].lower, 1);
  const auto data = block.array().data();
  EXPECT_EQ(std::vector<Variant>(data.begin(), data.end()),
            (std::vector<Variant>{Variant::R8(1), Variant::R8(3), Variant::R8(2), Variant()}));
}

TEST_F(CellStoreTest, WritesEachKindOfValue) {
  const struct Case {
    Variant value;
    std::string stored;                          // the cell element afterwards
    std::optional<Variant> read = std::nullopt;  // when not the value written
  } cases[] = {
      {Variant::R8(0.1 + 0.2), "<x:c r='A1'><x:v>0.30000000000000004</x:v></x:c>"},
      {Variant(L" 1e3 "), "<x:c r='A1'><x:v>1000</x:v></x:c>", Variant::R8(1000)},
      {Variant(L"'0 07"), "<x:c r='A1' s='4' t='inlineStr'><x:is><x:t>0 07</x:t></x:is></x:c>",
       Variant(L"0 07")},
      {Variant(L" a "),
       "<x:c r='A1' t='inlineStr'><x:is><x:t xml:space='preserve'> a </x:t></x:is></x:c>"},
      {Variant::Error(static_cast<SCODE>(0x800A07FA)), "<x:c r='A1' t='e'><x:v>#N/A</x:v></x:c>"},
      {Variant::Date(45000), "<x:c r='A1' s='6'><x:v>45000</x:v></x:c>"},
      {Variant(), ""},  // no cell made for nothing
  };
  for (const Case& c : cases) {
    Open("<x:sheetData/>");
    ASSERT_EQ(Put("A1", c.value), S_OK) << c.stored;
    EXPECT_EQ(Cell("A1"), c.stored);
    EXPECT_EQ(Get("A1"), c.read.value_or(c.value)) << c.stored;
  }
}

TEST_F(CellStoreTest, RefusesValuesACellCannotHold) {
  Open("<x:sheetData><x:row r='1'><x:c r='A1'><x:v>5</x:v></x:c></x:row></x:sheetData>");
  const std::string before = XmlOf(sheet_part_);
  SafeArray nested(VT_VARIANT, {{0, 1}});
  nested.data()[0] = Variant(SafeArray(VT_VARIANT, {{0, 1}}));
  const struct {
    Variant value;
    HRESULT hr;
  } cases[] = {
      {Variant::R8(std::numeric_limits<double>::quiet_NaN()), E_INVALIDARG},
      {Variant::Date(1.5), E_INVALIDARG},
      {Variant(L"=" + std::wstring(8193, L'1')), E_INVALIDARG},
      {Variant::Error(E_FAIL), DISP_E_TYPEMISMATCH},
      {Variant(nested), DISP_E_TYPEMISMATCH},
  };
  for (const auto& c : cases) {
    CellFailure failure;
    EXPECT_EQ(Put("A1", c.value, &failure), c.hr) << failure.reason;
    EXPECT_FALSE(failure.reason.empty());
    EXPECT_EQ(XmlOf(sheet_part_), before);
  }
  EXPECT_EQ(Put("A1", Variant(L"=" + std::wstring(8192, L'1'))), S_OK);
}

TEST_F(CellStoreTest, WritesArraysOfTheRangesShape) {
  Open("<x:sheetData/>");
  SafeArray column(VT_VARIANT, {{-1, 2}, {5, 1}});  // any lower bounds, first index the row
  column.data()[0] = Variant::R8(1);
  column.data()[1] = Variant(L"two");
  EXPECT_EQ(Put("B2:B3", Variant(column)), S_OK);
  EXPECT_EQ(Get("B3"), Variant(L"two"));
  SafeArray row(VT_R8, {{0, 3}});  // one dimension: one row
  row.data()[2] = Variant::R8(9);
  EXPECT_EQ(Put("A5:C5", Variant(row)), S_OK);
  EXPECT_EQ(Get("C5"), Variant::R8(9));
  CellFailure failure;
  EXPECT_EQ(Put("A5:D5", Variant(row), &failure), E_INVALIDARG);
  EXPECT_EQ(failure.where, Area("A5:D5"));
  EXPECT_EQ(Put("D1:E2", Variant::R8(4)), S_OK);  // a scalar fills every cell
  EXPECT_EQ(Get("E2"), Variant::R8(4));
}

TEST_F(CellStoreTest, MergedAreasTakeWritesInTheirTopLeftCell) {
  Open("<x:sheetData/><x:mergeCells><x:mergeCell ref='A1:B2'/></x:mergeCells>");
  EXPECT_EQ(Put("B2", Variant::R8(3)), S_OK);
  EXPECT_FALSE(sheet_->FindCell({2, 2}));
  SafeArray values(VT_VARIANT, {{0, 2}, {0, 1}});
  values.data()[0] = Variant::R8(1);
  values.data()[1] = Variant::R8(2);
  CellFailure failure;
  EXPECT_EQ(Put("A1:A2", Variant(values), &failure), E_INVALIDARG);
  EXPECT_EQ(failure.where, Area("A1:B2"));
  values.data()[0] = Variant();
  EXPECT_EQ(Put("A1:A2", Variant(values)), S_OK);
  EXPECT_EQ(Get("A1"), Variant::R8(2));
}

TEST_F(CellStoreTest, AProtectedCellInABlockRefusesTheWholePut) {
  Open(
      "<x:sheetData><x:row r='1'><x:c r='A1' s='2'/></x:row></x:sheetData>"
      "<x:sheetProtection sheet='1'/>");
  const std::string before = XmlOf(sheet_part_);
  CellFailure failure;
  EXPECT_EQ(Put("A1:A2", Variant::R8(1), &failure), E_ACCESSDENIED);
  EXPECT_EQ(XmlOf(sheet_part_), before);
  EXPECT_EQ(failure.where, Area("A2"));
  EXPECT_EQ(failure.reason, "locked cell on a protected sheet");
  EXPECT_EQ(store_->GetLocked(*sheet_, Area("A1")), Variant::Bool(false));
  EXPECT_EQ(store_->GetLocked(*sheet_, Area("A1:A2")), Variant::Null());
  store_->set_shared_workbook(true);
  EXPECT_EQ(Put("A1", Variant::R8(1), &failure), E_ACCESSDENIED);
  EXPECT_EQ(failure.reason, "shared workbook: unshare it first");
}

TEST_F(CellStoreTest, StaleFormulasFailToReadUntilCalculated) {
  const char* sheet =
      "<x:sheetData><x:row r='1'><x:c r='A1'><x:f>B1*2</x:f><x:v>4</x:v></x:c>"
      "<x:c r='B1'><x:v>2</x:v></x:c><x:c r='C1'><x:f>NOW()</x:f><x:v>1</x:v></x:c>"
      "</x:row></x:sheetData>";
  Open(sheet);
  EXPECT_EQ(Get("A1"), Variant::R8(4));
  Variant value;
  CellFailure failure;
  EXPECT_EQ(store_->GetValue(*sheet_, Area("C1"), &value, &failure), E_PENDING);
  EXPECT_EQ(failure.reason, "formula not recalculated (volatile function NOW)");
  EXPECT_EQ(store_->GetValue(*sheet_, Area("A1:D1"), &value, &failure), E_PENDING);
  EXPECT_EQ(failure.where, Area("C1"));

  EXPECT_FALSE(store_->PrepareSave());
  ASSERT_EQ(Put("B1", Variant::R8(3)), S_OK);
  EXPECT_EQ(store_->GetValue(*sheet_, Area("A1"), &value, &failure), E_PENDING);
  EXPECT_EQ(failure.reason, "formula not recalculated (input written since load)");
  store_->recalculation().NoteCalculated(1, {1, 1});
  EXPECT_EQ(Get("A1"), Variant::R8(4));
  EXPECT_TRUE(store_->PrepareSave());
  EXPECT_EQ(XmlOf(workbook_.child("workbook").child("calcPr")), "<calcPr fullCalcOnLoad='1'/>");
}

TEST_F(CellStoreTest, FormulasLeaveTheChainWhenWrittenOverAndSharedOnesOnlyWithTheirGroup) {
  Open(
      "<x:sheetData><x:row r='1'><x:c r='A1'><x:f>1+1</x:f><x:v>2</x:v></x:c>"
      "<x:c r='B1'><x:f>2+2</x:f><x:v>4</x:v></x:c></x:row></x:sheetData>",
      "", "<c r='A1' i='1'/><c r='B1'/>");
  ASSERT_EQ(Put("A1", Variant::R8(5)), S_OK);
  EXPECT_EQ(Cell("A1"), "<x:c r='A1'><x:v>5</x:v></x:c>");
  EXPECT_EQ(XmlOf(chain_.first_child().first_child()), "<c r='B1' i='1'/>");
  EXPECT_FALSE(store_->calc_chain_empty());
  ASSERT_EQ(Put("B1", Variant(L"=A1*2")), S_OK);
  EXPECT_EQ(Cell("B1"), "<x:c r='B1'><x:f>A1*2</x:f></x:c>");
  EXPECT_TRUE(store_->calc_chain_changed());
  EXPECT_TRUE(store_->calc_chain_empty());

  Open(
      "<x:sheetData><x:row r='2'><x:c r='A2'><x:f t='shared' ref='A2:A3' si='0'>SUM(1:1)</x:f>"
      "</x:c></x:row><x:row r='3'><x:c r='A3'><x:f t='shared' si='0'/></x:c></x:row>"
      "</x:sheetData>");
  CellFailure failure;
  EXPECT_EQ(Put("A2", Variant::R8(0), &failure), E_ACCESSDENIED);
  EXPECT_EQ(Put("A2:A3", Variant::R8(0)), S_OK);  // the whole group goes
}

TEST_F(CellStoreTest, QuotePrefixAndDateFormatsReuseEqualFormats) {
  Open("<x:sheetData><x:row r='1'><x:c r='A1' s='4'/><x:c r='B1' s='2'/></x:row></x:sheetData>");
  ASSERT_EQ(Put("A1", Variant::R8(1)), S_OK);  // a number clears the quote prefix: format 0
  EXPECT_EQ(Cell("A1"), "<x:c r='A1'><x:v>1</x:v></x:c>");
  ASSERT_EQ(Put("A1", Variant(L"'x")), S_OK);  // and setting it finds format 4 again
  EXPECT_EQ(Cell("A1"), "<x:c r='A1' s='4' t='inlineStr'><x:is><x:t>x</x:t></x:is></x:c>");
  ASSERT_EQ(Put("B1", Variant::Date(45000)), S_OK);  // unlocked General cell: a new format
  EXPECT_EQ(Cell("B1"), "<x:c r='B1' s='6'><x:v>45000</x:v></x:c>");
  EXPECT_EQ(XmlOf(styles_.child("styleSheet").child("cellXfs").last_child()),
            "<xf numFmtId='14' fontId='0' fillId='0' borderId='0' xfId='0' applyProtection='1' "
            "applyNumberFormat='1'><protection locked='0'/></xf>");
  EXPECT_STREQ(styles_.child("styleSheet").child("cellXfs").attribute("count").value(), "7");
  EXPECT_TRUE(store_->styles_changed());
}

TEST_F(CellStoreTest, HeaderWritesRenameTableColumns) {
  Open("<x:sheetData/>");
  pugi::xml_document table;
  LoadPart(&table,
           "<table xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main' id='1' "
           "ref='A1:B3'><tableColumns count='2'><tableColumn id='1' name='Name'/>"
           "<tableColumn id='2' name='Qty'/></tableColumns></table>");
  sheet_->tables().Add(&table);
  for (const Variant& refused : {Variant(L"NAME"), Variant(), Variant(L"'")}) {
    CellFailure failure;
    EXPECT_EQ(Put("B1", refused, &failure), E_ACCESSDENIED);
    EXPECT_FALSE(failure.reason.empty());
  }
  EXPECT_EQ(Put("A4:B4", Variant::R8(1)), S_OK);  // below the table: it does not grow
  EXPECT_EQ(Put("B1", Variant::R8(2024)), S_OK);
  EXPECT_EQ(XmlOf(table.first_child().first_child().last_child()),
            "<tableColumn id='2' name='2024'/>");
  EXPECT_EQ(sheet_->tables().changed_parts().size(), 1u);
}

}  // namespace
}  // namespace ovc::excel
