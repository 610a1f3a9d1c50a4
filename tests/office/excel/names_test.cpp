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

constexpr char kNames[] =
    "<definedNames><definedName name=\"Const\">0.05</definedName>"
    "<definedName name=\"Local\" localSheetId=\"0\">Sheet1!$A$1</definedName>"
    "<definedName name=\"Rate\">Sheet1!$B$2:$B$4</definedName></definedNames>";

class NamesTest : public testing::BookTest {
 protected:
  NamesTest() {
    testing::WriteZip(book_, testing::MinimalWorkbook(kNames));
    application_ = MakeObject<Application>(office::Services{});
    workbook_ = Open();
  }

  ComPtr<IDispatch> workbook_;
};

TEST_F(NamesTest, ItemFindsNamesByPositionOrByNameAsMethodOrPropertyGet) {
  ComPtr<IDispatch> names = Object(workbook_.get(), L"Names");
  ASSERT_TRUE(names);
  EXPECT_EQ(Get(names.get(), L"Count"), Variant::I4(3));
  const struct Case {
    Variant index;
    uint16_t flags;
    Variant name;
  } cases[] = {
      {Variant(2), DISPATCH_METHOD, Variant(L"Sheet1!Local")},
      {Variant(3), DISPATCH_PROPERTYGET, Variant(L"Rate")},
      {Variant(L"rATE"), DISPATCH_METHOD, Variant(L"Rate")},
      {Variant(L"Local"), DISPATCH_PROPERTYGET, Variant(L"Sheet1!Local")},
      {Variant(L"Nope"), DISPATCH_METHOD, Variant::Error(DISP_E_BADINDEX)},
  };
  for (const Case& c : cases) {
    Variant item;
    const HRESULT hr = CallByName(names.get(), L"Item", c.flags, {c.index}, &item);
    EXPECT_EQ(Succeeded(hr) ? Get(item.dispatch(), L"Name") : Variant::Error(hr), c.name);
  }
  CallMethod(names.get(), L"Item", {Variant(L"Nope")});
  EXPECT_EQ(TakeErrorDescription().rfind(L"Book.xlsx: name 'Nope': ", 0), 0u);
}

TEST_F(NamesTest, ANameSpelledLikeACellReferenceWinsOverTheReference) {
  const std::string path = folder_.File("Spelled.xlsx");
  testing::WriteZip(path, testing::MinimalWorkbook(
                              "<definedNames><definedName name=\"Row3\">Sheet1!$C$3</definedName>"
                              "<definedName name=\"TAX2019\">Sheet1!$D$4</definedName>"
                              "<definedName name=\"Col3\" localSheetId=\"0\">Sheet1!$E$5"
                              "</definedName><definedName name=\"R5C5\" localSheetId=\"0\">"
                              "Sheet1!$F$6</definedName></definedNames>"));
  ASSERT_TRUE(Open(path));
  const struct {
    const wchar_t* text;
    Variant address;
  } cases[] = {
      {L"Row3", Variant(L"$C$3")},
      {L"tax2019", Variant(L"$D$4")},
      {L"Col3", Variant(L"$E$5")},
      {L"Sheet1!R5C5", Variant(L"$F$6")},
      {L"Sheet1!Row4", Variant(L"$ROW$4")},
      {L"Row4", Variant::Error(E_INVALIDARG)},
      {L"R2C2", Variant::Error(E_INVALIDARG)},
      {L"Sheet1!R2C2", Variant::Error(E_INVALIDARG)},
  };
  for (const auto& c : cases) {
    const Variant range = Get(application_.get(), L"Range", {Variant(c.text)});
    EXPECT_EQ(range.vt() == VT_DISPATCH ? Get(range.dispatch(), L"Address") : range, c.address)
        << ToUtf8(c.text);
  }
}

TEST_F(NamesTest, AddAndDeleteChangeTheWorkbookAndSurviveASave) {
  ComPtr<IDispatch> names = Object(workbook_.get(), L"Names");
  const Variant none = Variant::Missing();
  EXPECT_EQ(CallMethod(names.get(), L"Add", {Variant(L"TAX2019"), Variant(L"=Sheet1!$A$1")}),
            E_INVALIDARG);
  EXPECT_EQ(CallMethod(names.get(), L"Add",
                       {Variant(L"Key"), Variant(L"=Sheet1!$A$1"), none, none, Variant(L"k")}),
            E_NOTIMPL);
  EXPECT_EQ(Get(workbook_.get(), L"Saved"), Variant::Bool(true));
  ASSERT_EQ(CallMethod(names.get(), L"Add", {Variant(L"Total"), Variant(L"=Sheet1!$C$3")}), S_OK);
  ComPtr<IDispatch> rate = Object(names.get(), L"Item", {Variant(L"Rate")});
  ASSERT_EQ(CallMethod(rate.get(), L"Delete"), S_OK);
  EXPECT_EQ(Get(rate.get(), L"Name"), Variant::Error(DISP_E_BADINDEX));
  EXPECT_EQ(Get(workbook_.get(), L"Saved"), Variant::Bool(false));
  ASSERT_EQ(CallMethod(workbook_.get(), L"Close", {Variant::Bool(true)}), S_OK);

  workbook_ = Open();
  names = Object(workbook_.get(), L"Names");
  EXPECT_EQ(Get(names.get(), L"Count"), Variant::I4(3));
  ComPtr<IDispatch> total = Object(names.get(), L"Item", {Variant(L"Total")});
  EXPECT_EQ(Get(total.get(), L"RefersTo"), Variant(L"=Sheet1!$C$3"));
  EXPECT_FALSE(Object(names.get(), L"Item", {Variant(L"Rate")}));
}

TEST_F(NamesTest, AddAndDeleteMakeStaleOnlyTheFormulasUsingTheName) {
  // Z uses X; B1..B4 compute X+1, Y+1, Z+1 and SUM(A1:A2).
  std::vector<testing::Part> parts = testing::MinimalWorkbook(
      "<definedNames><definedName name=\"X\">Sheet1!$A$1</definedName>"
      "<definedName name=\"Y\">Sheet1!$A$2</definedName>"
      "<definedName name=\"Z\">X*2</definedName></definedNames>",
      "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f>x+1</f><v>2</v></c></row>"
      "<row r=\"2\"><c r=\"A2\"><v>2</v></c><c r=\"B2\"><f>Y+1</f><v>3</v></c></row>"
      "<row r=\"3\"><c r=\"B3\"><f>Z+1</f><v>3</v></c></row>"
      "<row r=\"4\"><c r=\"B4\"><f>SUM(A1:A2)</f><v>3</v></c></row>");
  const struct Case {
    const wchar_t* name;
    const wchar_t* refers_to;  // null: Delete the name
    std::vector<bool> stale;   // B1..B4
  } cases[] = {
      {L"X", L"=Sheet1!$A$2", {true, false, true, false}},
      {L"Y", nullptr, {false, true, false, false}},
      {L"New", L"=Sheet1!$A$1", {false, false, false, false}},
  };
  const std::string path = folder_.File("Formulas.xlsx");
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name));
    testing::WriteZip(path, parts);
    ComPtr<IDispatch> workbook = Open(path);
    ASSERT_TRUE(workbook);
    ComPtr<IDispatch> names = Object(workbook.get(), L"Names");
    if (c.refers_to != nullptr) {
      ASSERT_EQ(CallMethod(names.get(), L"Add", {Variant(c.name), Variant(c.refers_to)}), S_OK);
    } else {
      ASSERT_EQ(CallMethod(Object(names.get(), L"Item", {Variant(c.name)}).get(), L"Delete"), S_OK);
    }
    for (size_t row = 0; row < c.stale.size(); ++row) {
      const std::wstring cell = L"Sheet1!B" + std::to_wstring(row + 1);
      const Variant value = Get(Range(cell.c_str()).get(), L"Value");
      EXPECT_EQ(value == Variant::Error(E_PENDING), c.stale[row]) << ToUtf8(cell);
    }
    CallMethod(workbook.get(), L"Close", {Variant::Bool(false)});
  }
}

TEST_F(NamesTest, RangesDescribeTheirBlockAndAreDisconnectedByClosing) {
  ComPtr<IDispatch> rate = Range(L"Rate");
  ASSERT_TRUE(rate);
  EXPECT_EQ(Get(Range(L" local ").get(), L"Count"), Variant::I4(1));  // of the active sheet
  EXPECT_EQ(Get(Object(rate.get(), L"Rows").get(), L"Count"), Variant::I4(3));
  EXPECT_EQ(Get(Object(rate.get(), L"Columns").get(), L"Count"), Variant::I4(1));
  ComPtr<IDispatch> block = Object(rate.get(), L"Resize", {Variant(2), Variant(3)});
  EXPECT_EQ(Get(block.get(), L"Address"), Variant(L"$B$2:$D$3"));
  EXPECT_EQ(Get(block.get(), L"Address", {Variant::Missing(), Variant::Missing(), Variant(-4150)}),
            Variant(L"R2C2:R3C4"));
  EXPECT_EQ(Get(block.get(), L"Address", {Variant::Missing(), Variant::Missing(), Variant(2)}),
            Variant::Error(E_INVALIDARG));
  EXPECT_EQ(Get(rate.get(), L"Resize", {Variant(0)}), Variant::Error(E_INVALIDARG));
  EXPECT_EQ(Get(rate.get(), L"Resize", {Variant(1048576)}), Variant::Error(E_INVALIDARG));

  // Goto takes only ranges of its own application, and closing disconnects them.
  EXPECT_EQ(CallMethod(application_.get(), L"Goto", {Variant(rate.get())}), S_OK);
  ComPtr<Application> other = MakeObject<Application>(office::Services{});
  EXPECT_EQ(CallMethod(other.get(), L"Goto", {Variant(rate.get())}), E_INVALIDARG);
  ComPtr<IDispatch> names = Object(workbook_.get(), L"Names");
  ASSERT_EQ(CallMethod(workbook_.get(), L"Close", {Variant::Bool(false)}), S_OK);
  EXPECT_EQ(Get(rate.get(), L"Count"), Variant::Error(RPC_E_DISCONNECTED));
  EXPECT_EQ(Get(names.get(), L"Count"), Variant::Error(RPC_E_DISCONNECTED));
}

}  // namespace
}  // namespace ovc::excel
