#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/error_info.h"
#include "automation/text.h"
#include "office/excel/application.h"
#include "tests/office/excel/workbook_fixture.h"

namespace ovc::excel {
namespace {

using testing::Object;

// A sheet whose C1 is a formula over A1 with a cached value, and names over
// single cells.
std::vector<testing::Part> BookWithFormula() {
  return testing::MinimalWorkbook(
      "<definedNames><definedName name=\"Input\">Sheet1!$A$1</definedName>"
      "<definedName name=\"Output\">Sheet1!$C$1</definedName></definedNames>",
      "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"C1\"><f>A1*2</f><v>2</v></c></row>");
}

class ValuesTest : public testing::BookTest {
 protected:
  ValuesTest() {
    testing::WriteZip(book_, BookWithFormula());
    Reopen();
  }
  void Reopen() {
    office::Services services;
    services.user_name = "ann";
    application_ = MakeObject<Application>(services);
    application_->put_Calculation(kCalculationManual);  // writes leave formulas stale
    workbook_ = Open();
  }
  ComPtr<IDispatch> Property(const wchar_t* name) {
    return Object(Object(workbook_.get(), L"BuiltinDocumentProperties").get(), L"Item",
                  {Variant(name)});
  }

  ComPtr<IDispatch> workbook_;
};

TEST_F(ValuesTest, AWriteThroughANameIsSavedAndMakesFormulasStale) {
  EXPECT_EQ(Get(Range(L"Output").get(), L"Value"), Variant::R8(2));
  ASSERT_EQ(PutProperty(Range(L"Input").get(), L"Value", Variant(5)), S_OK);
  EXPECT_EQ(Get(workbook_.get(), L"Saved"), Variant::Bool(false));
  EXPECT_EQ(Get(Range(L"Output").get(), L"Value"), Variant::Error(E_PENDING));
  EXPECT_EQ(TakeErrorDescription().rfind(L"Book.xlsx: Sheet1!C1: ", 0), 0u);
  EXPECT_EQ(Get(Range(L"Input").get(), L"Locked"), Variant::Bool(true));
  ASSERT_EQ(CallMethod(workbook_.get(), L"Close", {Variant::Bool(true)}), S_OK);

  Reopen();
  EXPECT_EQ(Get(Range(L"Sheet1!A1").get(), L"Value"), Variant::R8(5));
  // The save asked for a recalculation on open: the cached value is stale.
  EXPECT_EQ(Get(Range(L"Output").get(), L"Value"), Variant::Error(E_PENDING));
  EXPECT_EQ(Get(Property(L"Last Author").get(), L"Value"), Variant(L"ann"));
}

// A sheet part outside the spreadsheet namespace is refused, never written
// to nowhere with success.
TEST_F(ValuesTest, ASheetOutsideTheSpreadsheetNamespaceIsRefused) {
  CallMethod(workbook_.get(), L"Close", {Variant::Bool(false)});
  std::vector<testing::Part> parts = BookWithFormula();
  parts.back().content = "<worksheet xmlns=\"urn:other\"><sheetData/></worksheet>";
  testing::WriteZip(book_, parts);
  Reopen();
  EXPECT_EQ(PutProperty(Range(L"Input").get(), L"Value", Variant(5)), STG_E_DOCFILECORRUPT);
  EXPECT_EQ(TakeErrorDescription(),
            L"Book.xlsx: /xl/worksheets/sheet1.xml: the part is not a worksheet");
}

TEST_F(ValuesTest, DocumentPropertiesReadAndWriteTheCoreProperties) {
  EXPECT_EQ(Get(Property(L"title").get(), L"Value"), Variant());
  ASSERT_EQ(PutProperty(Property(L"Title").get(), L"Value", Variant(L"Plan")), S_OK);
  EXPECT_EQ(Get(workbook_.get(), L"Saved"), Variant::Bool(false));
  EXPECT_EQ(PutProperty(Property(L"Creation Date").get(), L"Value", Variant(L"x")), E_ACCESSDENIED);
  ASSERT_EQ(CallMethod(workbook_.get(), L"Save"), S_OK);
  workbook_ = nullptr;
  Reopen();
  EXPECT_EQ(Get(Property(L"Title").get(), L"Value"), Variant(L"Plan"));
}

}  // namespace
}  // namespace ovc::excel
