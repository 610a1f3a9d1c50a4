#include <gtest/gtest.h>

#include "automation/safe_array.h"
#include "office/excel/application.h"
#include "tests/office/excel/workbook_fixture.h"

namespace ovc::excel {
namespace {

using testing::Object;

// B2 a value, C3:C4 one shared formula, D5 a formula with a name.
constexpr char kWorksheetsSheetData[] =
    "<row r=\"2\"><c r=\"B2\"><v>1</v></c></row>"
    "<row r=\"3\"><c r=\"C3\"><f t=\"shared\" ref=\"C3:C4\" si=\"0\">B2*2</f><v>2</v></c></row>"
    "<row r=\"4\"><c r=\"C4\"><f t=\"shared\" si=\"0\"/><v>0</v></c></row>"
    "<row r=\"5\"><c r=\"D5\"><f>Rate+1</f></c></row>";

class WorksheetsTest : public testing::BookTest {
 protected:
  WorksheetsTest() {
    testing::WriteZip(book_, testing::MinimalWorkbook("", kWorksheetsSheetData));
    application_ = MakeObject<Application>(office::Services{});
    workbook_ = Open();
  }

  ComPtr<IDispatch> workbook_;
};

TEST_F(WorksheetsTest, ItemFindsASheetByPositionOrNameAndNothingElse) {
  ComPtr<IDispatch> sheets = Object(workbook_.get(), L"Worksheets");
  ASSERT_TRUE(sheets);
  EXPECT_EQ(Get(sheets.get(), L"Count"), Variant::I4(1));
  for (const Variant& index : {Variant(1), Variant(L"sHEET1")}) {
    ComPtr<IDispatch> sheet = Object(sheets.get(), L"Item", {index});
    ASSERT_TRUE(sheet);
    EXPECT_EQ(Get(sheet.get(), L"Name"), Variant(L"Sheet1"));
  }
  for (const Variant& index : {Variant(0), Variant(2), Variant(L"Sheet2")}) {
    EXPECT_EQ(Get(sheets.get(), L"Item", {index}), Variant::Error(DISP_E_BADINDEX));
  }
}

TEST_F(WorksheetsTest, UsedRangeGivesEachCellsFormulaAsItReadsThereOrItsValue) {
  ComPtr<IDispatch> sheet =
      Object(Object(workbook_.get(), L"Worksheets").get(), L"Item", {Variant(1)});
  ComPtr<IDispatch> used = Object(sheet.get(), L"UsedRange");
  ASSERT_TRUE(used);
  EXPECT_EQ(Get(used.get(), L"Address"), Variant(L"$B$2:$D$5"));
  const Variant formulas = Get(used.get(), L"Formula");
  ASSERT_TRUE(formulas.IsArray());
  const auto at = [&](int row, int column) { return formulas.array().data()[column * 4 + row]; };
  EXPECT_EQ(at(0, 0), Variant(1.0));
  EXPECT_EQ(at(1, 1), Variant(L"=B2*2"));
  EXPECT_EQ(at(2, 1), Variant(L"=B3*2"));
  EXPECT_EQ(at(3, 2), Variant(L"=Rate+1"));
  EXPECT_EQ(at(0, 2), Variant());
}

}  // namespace
}  // namespace ovc::excel
