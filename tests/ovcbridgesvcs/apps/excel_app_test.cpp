#include "ovcbridgesvcs/apps/excel_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/class_registry.h"
#include "automation/late_call.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "office/common/macro_registry.h"
#include "office/excel/registration.h"
#include "tests/automation/late_bound.h"
#include "tests/office/office_test_support.h"
#include "tests/ovcbridgesvcs/apps/failing_excel.h"
#include "tests/ovcbridgesvcs/frame/library_registered.h"

namespace ovc::apps {
namespace {

using dispatch_testing::LateBound;
using office::testing::CopyFixture;
using office::testing::TempDir;

// A vector as the host hands it over: one dimension of variants from 0.
Variant Vector(std::vector<Variant> values) { return Variant(SafeArray::FromValues(values)); }

Variant Read(IExternalApp& app, const std::wstring& location) {
  Variant value;
  EXPECT_EQ(app.GetValue(location, &value), S_OK) << TakeErrorDescription();
  return value;
}

class ExcelAppTest : public ::testing::Test {
 protected:
  ExcelAppTest() { EXPECT_EQ(excel::RegisterExcelClasses(), S_OK); }
  ~ExcelAppTest() override {
    for (const ComPtr<IExternalApp>& app : apps_) app->TerminateApp(VARIANT_FALSE);
  }

  // An adapter over a copy of `fixture` (named `as`).
  IExternalApp& Open(const std::string& fixture, const std::string& as = "") {
    ComPtr<IDispatch> object;
    EXPECT_EQ(CreateObject(L"OVCBridgeSvcs.ExcelApp", &object), S_OK);
    apps_.push_back(object.As<IExternalApp>());
    path_ = CopyFixture(dir_, fixture, as);
    EXPECT_EQ(apps_.back()->put_Path(FromUtf8(path_)), S_OK);
    return *apps_.back();
  }

  // The first name of the saved workbook, read by a fresh application.
  std::wstring FirstNameOnFile() {
    LateBound excel = LateBound::Create(L"Excel.Application");
    const Variant name = excel.Object(L"Workbooks")
                             .Object(L"Open", {Variant(FromUtf8(path_))})
                             .Object(L"Names")
                             .Object(L"Item", {Variant::I4(1)})
                             .Get(L"Name");
    excel.Call(L"Quit");
    return name.vt() == VT_BSTR ? name.bstr() : L"";
  }

  TempDir dir_;
  frame_testing::LibraryRegistered library_;
  std::vector<ComPtr<IExternalApp>> apps_;
  std::string path_;
};

TEST_F(ExcelAppTest, WritesKeepTextsAsTextAlsoInsideArraysAndReadBlocksColumnByColumn) {
  IExternalApp& app = Open("cells.xlsx");
  struct Case {
    std::wstring location;
    Variant written;
    Variant read;
  } cases[] = {
      {L"Commented", Variant(L"007"), Variant(L"007")},
      {L"Linked", Variant(int32_t{7}), Variant(7.0)},
      {L"Errors", Variant(SafeArray(VT_VARIANT, {{0, 2}, {0, 1}})),
       Vector({Variant(L"=1+1"), Variant(L"")})},
  };
  cases[2].written.array().data()[0] = Variant(L"=1+1");
  cases[2].written.array().data()[1] = Variant(L"");
  for (const Case& c : cases) {
    EXPECT_EQ(app.SetValue(c.location, c.written), S_OK) << TakeErrorDescription();
    EXPECT_EQ(Read(app, c.location), c.read) << ToUtf8(c.location);
  }
}

TEST_F(ExcelAppTest, LocationsAreTheWorkbookLevelNamesAndAMissingOneCannotBeRead) {
  IExternalApp& app = Open("names.xlsx");
  Variant list;
  ASSERT_EQ(app.get_LocationList(&list), S_OK);
  std::vector<std::wstring> names;
  for (const Variant& name : list.array().data()) names.push_back(name.bstr());
  EXPECT_EQ(std::count(names.begin(), names.end(), L"Rate"), 1);
  EXPECT_EQ(std::count_if(names.begin(), names.end(),
                          [](const std::wstring& name) { return name.find(L'!') != name.npos; }),
            0);
  Variant value;
  EXPECT_EQ(app.GetValue(L"Missing", &value), E_FAIL);
  EXPECT_EQ(TakeErrorDescription(), L"Excel Error  Range name not found:  Missing");
}

TEST_F(ExcelAppTest, ReplacingCloneKeepsANameClonedOntoItselfInAnyLetterCase) {
  IExternalApp& app = Open("names.xlsx");
  const struct {
    const wchar_t* old_location;
    const wchar_t* new_location;
    VARIANT_BOOL old_kept;
  } cases[] = {
      {L"Rate", L"Rate", VARIANT_TRUE},
      {L"Rate", L"rATE", VARIANT_TRUE},
      {L"Rate", L"Copy", VARIANT_FALSE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app.CloneLocation(c.old_location, c.new_location, VARIANT_TRUE), S_OK)
        << TakeErrorDescription();
    VARIANT_BOOL old_exists = VARIANT_FALSE;
    VARIANT_BOOL new_exists = VARIANT_FALSE;
    EXPECT_EQ(app.LocationExists(c.old_location, &old_exists), S_OK);
    EXPECT_EQ(app.LocationExists(c.new_location, &new_exists), S_OK);
    EXPECT_EQ(old_exists, c.old_kept) << ToUtf8(c.new_location);
    EXPECT_EQ(new_exists, VARIANT_TRUE) << ToUtf8(c.new_location);
  }
}

TEST_F(ExcelAppTest, VectorWritesRedefineTheNameInPlaceAndAnEmptyVectorClearsTheCells) {
  IExternalApp& app = Open("cells.xlsx", "Book]1.xlsx");  // "]" in the book name
  EXPECT_EQ(app.SetVectorValue(L"Puts", Vector({Variant(L"=A1"), Variant(2.0)}), VARIANT_TRUE),
            S_OK)
      << TakeErrorDescription();
  EXPECT_EQ(Read(app, L"Puts"), Vector({Variant(L"=A1"), Variant(2.0)}));
  EXPECT_EQ(app.SetVectorValue(L"Errors", Vector({}), VARIANT_FALSE), S_OK);
  EXPECT_EQ(Read(app, L"Errors"), Vector({Variant(), Variant()}));
  EXPECT_EQ(app.SetVectorValue(L"Merged", Vector({Variant(L"m")}), VARIANT_FALSE), S_OK);
  EXPECT_EQ(app.Save(), S_OK) << TakeErrorDescription();
  EXPECT_EQ(app.TerminateApp(VARIANT_FALSE), S_OK);
  EXPECT_EQ(FirstNameOnFile(), L"Merged");
}

TEST_F(ExcelAppTest, RefusedWritesSayLockedOnlyOnAProtectedSheet) {
  IExternalApp& app = Open("cells.xlsx");
  EXPECT_EQ(app.SetValue(L"LockedCell", Variant(1.0)), E_FAIL);
  EXPECT_EQ(TakeErrorDescription(), L"The application location \"LockedCell\" is locked");
  EXPECT_EQ(app.SetValue(L"ArrayPart", Variant(1.0)), E_FAIL);
  const std::wstring reason = TakeErrorDescription();
  EXPECT_NE(reason.find(L"Cells!C2"), std::wstring::npos) << ToUtf8(reason);
  EXPECT_EQ(reason.find(L"locked"), std::wstring::npos) << ToUtf8(reason);
}

// A macro closes another workbook of the adapter's Excel, then (with
// close_own) the adapter's own: only the latter makes the adapter start
// again from the file.
TEST_F(ExcelAppTest, OnlyClosingItsOwnWorkbookMakesTheAdapterStartAgain) {
  IExternalApp& app = Open("cells.xlsx");
  const std::wstring other = FromUtf8(CopyFixture(dir_, "book.xlsx"));
  bool close_own = false;
  office::RegisterMacro(L"CloseBooks", [&](IDispatch* excel, std::span<const Variant>, Variant*) {
    LateBound books = LateBound(ComPtr<IDispatch>(excel)).Object(L"Workbooks");
    books.Object(L"Open", {Variant(other)}).Call(L"Close");
    return close_own
               ? books.Object(L"Item", {Variant::I4(1)}).Call(L"Close", {Variant::Bool(false)})
               : S_OK;
  });
  for (const Variant& expected : {Variant(5.0), Variant(L"commented")}) {
    ASSERT_EQ(app.SetValue(L"Commented", Variant(5.0)), S_OK);  // not saved
    EXPECT_EQ(app.RunMacro(L"CloseBooks"), S_OK) << TakeErrorDescription();
    EXPECT_EQ(Read(app, L"Commented"), expected);
    close_own = true;
  }
  office::UnregisterMacro(L"CloseBooks");
}

// TerminateApp(true) leaves a changed workbook to Excel, whose Quit saves
// it; TerminateApp(false) discards the change. A linked file opens read-only
// and is never saved; a macro nobody registered is named in the failure,
// followed by the reason Run gave.
TEST_F(ExcelAppTest, TerminateSavesOnlyWhenAskedAndLinkedFilesStayUnsaved) {
  IExternalApp& app = Open("cells.xlsx");
  for (const auto& [save, kept] :
       {std::pair{VARIANT_FALSE, Variant(L"commented")}, std::pair{VARIANT_TRUE, Variant(6.0)}}) {
    ASSERT_EQ(app.SetValue(L"Commented", Variant(6.0)), S_OK);
    EXPECT_EQ(app.TerminateApp(save), S_OK);
    EXPECT_EQ(Read(app, L"Commented"), kept);
  }
  EXPECT_EQ(app.RunMacro(L"Nope"), E_FAIL);
  EXPECT_EQ(TakeErrorDescription(),
            L"Error running Excel macro:  Nope (macro 'Nope' not available: only "
            L"macros registered by the embedding program run)");
  VARIANT_BOOL linked = VARIANT_TRUE, read_only = VARIANT_FALSE;
  EXPECT_EQ(app.TerminateApp(VARIANT_FALSE), S_OK);
  EXPECT_EQ(app.putLinkedPtr(&linked), S_OK);
  EXPECT_EQ(app.SetValue(L"Commented", Variant(7.0)), S_OK);
  EXPECT_EQ(app.get_ReadOnly(&read_only), S_OK);
  EXPECT_EQ(read_only, VARIANT_TRUE);
  EXPECT_EQ(app.Save(), E_FAIL);
  EXPECT_EQ(TakeErrorDescription(), L"Use Save-As for Read-Only Files:  " + FromUtf8(path_));
}

// A location asked for checks once that Excel and the workbook are still
// there (Application.Visible, Workbook.Saved), not again for the lookup.
TEST_F(ExcelAppTest, LocationExistsChecksTheApplicationOnce) {
  const testing::FailingExcelRegistered registered(L"");
  IExternalApp& app = Open("names.xlsx");
  ASSERT_EQ(app.Activate(VARIANT_FALSE), S_OK);
  for (const auto& [location, exists] :
       {std::pair{L"Rate", VARIANT_TRUE}, std::pair{L"Missing", VARIANT_FALSE}}) {
    const int before = registered.last_made()->CallsOf(L"Visible");
    VARIANT_BOOL answer = VARIANT_FALSE;
    EXPECT_EQ(app.LocationExists(location, &answer), S_OK);
    EXPECT_EQ(answer, exists) << ToUtf8(location);
    EXPECT_EQ(registered.last_made()->CallsOf(L"Visible") - before, 1) << ToUtf8(location);
  }
}

// A bracket step failing after the settings were changed puts them back,
// and the closing bracket runs every step, returning the first failure.
TEST_F(ExcelAppTest, BracketsRestoreTheSettingsWhenAStepFails) {
  const testing::FailingExcelRegistered registered(L"Calculate");
  IExternalApp& app = Open("cells.xlsx");
  const auto expect_restored = [&](HRESULT status) {
    EXPECT_EQ(status, E_FAIL);
    EXPECT_EQ(TakeErrorDescription(), L"Calculate failed");
    for (const auto& [member, value] : {std::pair{L"ScreenUpdating", Variant::Bool(true)},
                                        {L"Calculation", Variant::I4(-4105)}}) {
      Variant found;
      CallByName(registered.last(), member, DISPATCH_PROPERTYGET, {}, &found);
      EXPECT_EQ(found, value) << ToUtf8(member);
    }
  };
  expect_restored(app.PreExport());
  ASSERT_EQ(app.PreImport(), S_OK);
  expect_restored(app.PostImport());
}

}  // namespace
}  // namespace ovc::apps
