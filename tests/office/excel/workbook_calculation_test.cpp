#include "office/excel/workbook_calculation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/error_info.h"
#include "automation/text.h"
#include "tests/office/excel/workbook_fixture.h"

namespace ovc::excel {
namespace {

using ::testing::HasSubstr;

// Sheet1: inputs A1 = 2 and A2 = 3; B1:B3 a chain and a name; F1:F2 a
// circle; D1 an unknown function, stale on every calculation; D2 a formula of A2 whose cached value
// is off, to show it is not evaluated; E1:E2 one shared formula; G1:G2 one array formula; A3, C3
// and D3 a boolean, an error and a blank of A1; E3 volatile; F3 reads the chart sheet; H1:H2 read
// D1, directly or not.
const char kSheetData[] =
    "<row r=\"1\"><c r=\"A1\"><v>2</v></c><c r=\"B1\"><f>A1*2</f><v>4</v></c>"
    "<c r=\"D1\"><f>NOSUCH(A1,NOW())</f><v>0</v></c>"
    "<c r=\"E1\"><f t=\"shared\" ref=\"E1:E2\" si=\"0\">A1+1</f><v>3</v></c>"
    "<c r=\"F1\"><f>F2+A1</f><v>0</v></c>"
    "<c r=\"G1\"><f t=\"array\" ref=\"G1:G2\">A1:A2*10</f><v>20</v></c>"
    "<c r=\"H1\"><f>D1*A2</f><v>0</v></c></row>"
    "<row r=\"2\"><c r=\"A2\"><v>3</v></c><c r=\"B2\"><f>B1+A2</f><v>7</v></c>"
    "<c r=\"D2\"><f>A2*10</f><v>99</v></c>"
    "<c r=\"E2\"><f t=\"shared\" si=\"0\"/><v>4</v></c>"
    "<c r=\"F2\"><f>F1+1</f><v>0</v></c><c r=\"G2\"><v>30</v></c>"
    "<c r=\"H2\"><f>SUM(H1:H1,A1)</f><v>2</v></c></row>"
    "<row r=\"3\"><c r=\"A3\"><f>A1&gt;1</f><v>1</v></c><c r=\"C3\"><f>1/(A1-1)</f><v>1</v></c>"
    "<c r=\"D3\"><f>IF(A1,Z99)</f><v>1</v></c><c r=\"F3\"><f>Chart!A1+A1</f><v>1</v></c>"
    "<c r=\"E3\"><f>NOW()</f><v>1</v></c><c r=\"B3\"><f>SUM(A1:A2)*Rate&amp;\" kg\"</f><v>x</v></c>"
    "</row>";

class WorkbookCalculationTest : public testing::BookTest {
 protected:
  WorkbookCalculationTest() {
    WriteBook();
    OpenIn(kCalculationManual);
  }
  void WriteBook() {
    std::vector<testing::Part> parts = testing::MinimalWorkbook(
        "<definedNames><definedName name=\"Rate\">0.5</definedName></definedNames>", kSheetData);
    // A sheet without a worksheet part, as a chart sheet reads.
    const size_t sheets_end = parts[2].content.find("</sheets>");
    parts[2].content.insert(sheets_end, "<sheet name=\"Chart\" sheetId=\"2\" r:id=\"rId9\"/>");
    testing::WriteZip(book_, parts);
  }
  void OpenIn(int32_t mode) {
    application_ = MakeObject<Application>(office::Services{});
    application_->put_Calculation(mode);
    workbook_ = Open();
  }
  Variant Value(const wchar_t* cell) { return Get(Range(cell).get(), L"Value"); }
  HRESULT Put(const wchar_t* cell, const Variant& value) {
    return PutProperty(Range(cell).get(), L"Value", value);
  }
  HRESULT Put(const wchar_t* cell, double value) { return Put(cell, Variant::R8(value)); }
  HRESULT Calculate() { return CallMethod(application_.get(), L"Calculate"); }
  static std::string LastError() { return ToUtf8(TakeErrorDescription()); }
  // The part `name` of the workbook's file, once closed with a save.
  std::string SavedPart(const std::string& name) {
    office::OpenOptions options;
    options.read_only = true;
    std::string part, error;
    EXPECT_TRUE(office::testing::OpenOrFail(book_, options)->ReadPart(name, &part, &error))
        << error;
    return part;
  }

  ComPtr<IDispatch> workbook_;
};

TEST_F(WorkbookCalculationTest, CalculateRecomputesWhatAWriteReaches) {
  ASSERT_EQ(Put(L"Sheet1!A1", 5), S_OK);
  EXPECT_EQ(Value(L"Sheet1!B2"), Variant::Error(E_PENDING));
  ASSERT_EQ(Calculate(), S_OK);
  const struct {
    const wchar_t* cell;
    Variant value;
  } cases[] = {
      {L"Sheet1!B1", Variant::R8(10)},  {L"Sheet1!B2", Variant::R8(13)},
      {L"Sheet1!B3", Variant(L"4 kg")}, {L"Sheet1!D2", Variant::R8(99)},  // A2 did not change
      {L"Sheet1!E1", Variant::R8(6)},   {L"Sheet1!E2", Variant::R8(4)},
  };
  for (const auto& c : cases) EXPECT_EQ(Value(c.cell), c.value) << ToUtf8(c.cell);
  ASSERT_EQ(Put(L"Sheet1!A2", 1), S_OK);
  ASSERT_EQ(Calculate(), S_OK);
  EXPECT_EQ(Value(L"Sheet1!D2"), Variant::R8(10));
  EXPECT_EQ(Value(L"Sheet1!E2"), Variant::R8(2));
  EXPECT_EQ(Value(L"Sheet1!B2"), Variant::R8(11));
  // A redefined name makes the formulas using it stale.
  ASSERT_EQ(CallMethod(testing::Object(workbook_.get(), L"Names").get(), L"Add",
                       {Variant(L"Rate"), Variant(L"=2")}),
            S_OK);
  EXPECT_EQ(Value(L"Sheet1!B3"), Variant::Error(E_PENDING));
  ASSERT_EQ(Calculate(), S_OK);
  EXPECT_EQ(Value(L"Sheet1!B3"), Variant(L"12 kg"));
}

TEST_F(WorkbookCalculationTest, AutomaticModeCalculatesAfterEachPutAndManualOnCalculate) {
  const struct {
    int32_t mode;
    const wchar_t* cell;
    Variant value;
    const wchar_t* read;
    Variant expected;  // after the put in automatic mode, after Calculate in manual mode
  } cases[] = {
      {kCalculationAutomatic, L"Sheet1!A1", Variant::R8(5), L"Sheet1!B2", Variant::R8(13)},
      {kCalculationSemiautomatic, L"Sheet1!A1", Variant::R8(5), L"Sheet1!E1", Variant::R8(6)},
      {kCalculationAutomatic, L"Sheet1!A1", Variant(L"=A2*4"), L"Sheet1!B1", Variant::R8(24)},
      {kCalculationAutomatic, L"Sheet1!B1", Variant::R8(1), L"Sheet1!B2", Variant::R8(4)},
      {kCalculationAutomatic, L"Sheet1!C5", Variant(L"=B2+A2"), L"Sheet1!C5", Variant::R8(10)},
      {kCalculationManual, L"Sheet1!A1", Variant::R8(5), L"Sheet1!B2", Variant::R8(13)},
      {kCalculationManual, L"Sheet1!C5", Variant(L"=B2+A2"), L"Sheet1!C5", Variant::R8(10)},
      {kCalculationManual, L"Sheet1!A2", Variant(L"=A1*3"), L"Sheet1!B2", Variant::R8(10)},
      {kCalculationManual, L"Sheet1!A1:A5000", Variant::R8(7), L"Sheet1!B2", Variant::R8(21)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.cell) + " in mode " + std::to_string(c.mode));
    OpenIn(c.mode);
    if (c.mode == kCalculationManual) {
      ASSERT_EQ(Calculate(), S_OK);  // the graph is built
    }
    ASSERT_EQ(Put(c.cell, c.value), S_OK);
    if (c.mode == kCalculationManual) {
      EXPECT_EQ(Value(c.read), Variant::Error(E_PENDING));
      ASSERT_EQ(Calculate(), S_OK);
    }
    EXPECT_EQ(Value(c.read), c.expected);
  }
}

TEST_F(WorkbookCalculationTest, VolatileFormulasAreCalculatedWithoutWrites) {
  EXPECT_EQ(Value(L"Sheet1!E3"), Variant::Error(E_PENDING));
  ASSERT_EQ(Calculate(), S_OK);
  const Variant now = Value(L"Sheet1!E3");
  ASSERT_EQ(now.vt(), VT_R8);
  EXPECT_GT(now.r8(), 45000);
  EXPECT_EQ(Value(L"Sheet1!B1"), Variant::R8(4));
}

TEST_F(WorkbookCalculationTest, CirclesFailToReadWithTheirCells) {
  ASSERT_EQ(Put(L"Sheet1!A1", 1), S_OK);
  ASSERT_EQ(Calculate(), S_OK);
  EXPECT_EQ(Value(L"Sheet1!F1"), Variant::Error(E_PENDING));
  EXPECT_THAT(LastError(), HasSubstr("Sheet1!F1: formula not recalculated (circular reference "
                                     "among Sheet1!F1, Sheet1!F2)"));
  EXPECT_EQ(Value(L"Sheet1!B1"), Variant::R8(2));
}

TEST_F(WorkbookCalculationTest, FormulasReadingOneThatCannotBeCalculatedFailWithIt) {
  for (const bool write : {false, true}) {
    SCOPED_TRACE(write ? "after a write" : "without writes");
    if (write) {  // in the workbook as it was, once the first is closed
      WriteBook();
      OpenIn(kCalculationManual);
      ASSERT_EQ(Put(L"Sheet1!A2", 5), S_OK);
    }
    ASSERT_EQ(Calculate(), S_OK);
    const struct {
      const wchar_t* cell;
      const char* reason;
    } cases[] = {
        {L"Sheet1!D1",
         "Sheet1!D1: formula not recalculated (cannot be calculated: unknown "
         "function NOSUCH)"},
        {L"Sheet1!H1",
         "Sheet1!H1: formula not recalculated (depends on Sheet1!D1, which cannot "
         "be calculated: unknown function NOSUCH)"},
        {L"Sheet1!H2",
         "Sheet1!H2: formula not recalculated (depends on Sheet1!D1, which cannot "
         "be calculated: unknown function NOSUCH)"},
    };
    for (const auto& c : cases) {
      EXPECT_EQ(Value(c.cell), Variant::Error(E_PENDING)) << ToUtf8(c.cell);
      EXPECT_THAT(LastError(), HasSubstr(c.reason));
    }
    // Saved without their stale values, for a recalculation on open.
    ASSERT_EQ(CallMethod(workbook_.get(), L"Close", {Variant::Bool(true)}), S_OK);
    const std::string sheet = SavedPart("/xl/worksheets/sheet1.xml");
    for (const char* cell :
         {"<c r=\"D1\"><f>NOSUCH(A1,NOW())</f></c>", "<c r=\"H1\"><f>D1*A2</f></c>",
          "<c r=\"H2\"><f>SUM(H1:H1,A1)</f></c>"}) {
      EXPECT_THAT(sheet, HasSubstr(cell));
    }
    EXPECT_THAT(SavedPart("/xl/workbook.xml"), HasSubstr("fullCalcOnLoad=\"1\""));
  }
}

TEST_F(WorkbookCalculationTest, CalculatedValuesAreSavedAsCachedValues) {
  ASSERT_EQ(Put(L"Sheet1!A1", 1), S_OK);
  ASSERT_EQ(Calculate(), S_OK);
  ASSERT_EQ(CallMethod(workbook_.get(), L"Close", {Variant::Bool(true)}), S_OK);
  const std::string sheet = SavedPart("/xl/worksheets/sheet1.xml");
  for (const char* cell :
       {"<c r=\"B1\"><f>A1*2</f><v>2</v></c>", "<c r=\"A3\" t=\"b\"><f>A1&gt;1</f><v>0</v></c>",
        "<c r=\"C3\" t=\"e\"><f>1/(A1-1)</f><v>#DIV/0!</v></c>",
        "<c r=\"D3\"><f>IF(A1,Z99)</f><v>0</v></c>",
        "<c r=\"B3\" t=\"str\"><f>SUM(A1:A2)*Rate&amp;\" kg\"</f><v>2 kg</v>",
        "<c r=\"E1\"><f t=\"shared\" ref=\"E1:E2\" si=\"0\">A1+1</f><v>2</v>"}) {
    EXPECT_THAT(sheet, HasSubstr(cell));
  }
}

}  // namespace
}  // namespace ovc::excel
