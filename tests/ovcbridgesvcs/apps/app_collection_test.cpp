#include "ovcbridgesvcs/apps/app_collection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "automation/dom/dom.h"
#include "automation/error_info.h"
#include "automation/late_call.h"
#include "automation/safe_array.h"
#include "ovcbridgesvcs/apps/app.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "tests/automation/late_bound.h"
#include "tests/ovcbridgesvcs/apps/app_files.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::apps {
namespace {

namespace fs = std::filesystem;
using files_testing::ReadFile;
using host_testing::Got;
using host_testing::TakeDesc;

class AppCollectionTest : public ::testing::Test {
 protected:
  // A new App named `name` on the file `relative` (a copy of a workbook).
  ComPtr<IApp> NewApp(const std::string& relative, const std::wstring& name = L"") {
    ComPtr<IApp> app = MakeObject<CApp>();
    app->put_Name(name);
    EXPECT_EQ(app->put_Path(files_.File(relative)), S_OK);
    return app;
  }
  std::wstring In(const std::string& relative) const {
    return FromUtf8((files_.work().parent_path() / relative).string());
  }
  std::wstring Text(int32_t index, HRESULT (IApp::*get)(std::wstring*)) {
    Variant app;
    EXPECT_EQ(apps_->get_Item(Variant::I4(index), &app), S_OK);
    std::wstring text;
    (ComPtr<IDispatch>(app.dispatch()).As<IApp>().get()->*get)(&text);
    return text;
  }

  apps_testing::AppFiles files_;
  ComPtr<IAppCollection> apps_ = MakeObject<CAppCollection>();
};

// InsertApp swaps the new App in: the one it displaces moves to the end.
TEST_F(AppCollectionTest, InsertSwapsAndIndexesAreChecked) {
  const struct {
    int32_t index;
    std::wstring order;
  } cases[] = {{0, L"xBCA"}, {2, L"ABxC"}, {3, L"ABCx"}, {-1, L"ABCx"}, {10, L"ABCx"}};
  for (const auto& c : cases) {
    apps_ = MakeObject<CAppCollection>();
    for (const wchar_t* name : {L"A", L"B", L"C"}) apps_->Add(NewApp("a.xlsx", name).get());
    EXPECT_EQ(apps_->InsertApp(NewApp("a.xlsx", L"x").get(), c.index), S_OK);
    std::wstring order;
    for (int32_t i = 0; i < 4; ++i) order += Text(i, &IApp::get_Name);
    EXPECT_EQ(order, c.order) << c.index;
  }
  Variant app;
  EXPECT_EQ(apps_->get_Item(Variant::I2(4), &app), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Bridge:  App index is out of range (4 of [0..3])");
}

// One location per name whatever its letter case, spelled as the first
// file has it, over workbooks and documents; disabled files left out on
// request.
TEST_F(AppCollectionTest, LocationMapJoinsNamesOfAllFiles) {
  const ComPtr<IApp> book1 = NewApp("Book1.xlsx");
  const ComPtr<IApp> book2 = NewApp("Book2.xlsx");
  ASSERT_EQ(book1->CloneLocation(L"Linked", L"Total", VARIANT_TRUE), S_OK);
  ASSERT_EQ(book2->CloneLocation(L"Linked", L"TOTAL", VARIANT_TRUE), S_OK);
  apps_->Add(book1.get());
  apps_->Add(book2.get());
  apps_->Add(NewApp("Notes.docx").get());
  const auto listed = [&](VARIANT_BOOL filter) {
    Variant names;
    EXPECT_EQ(apps_->get_LocationList(filter, &names), S_OK);
    std::wstring totals;
    for (const Variant& name : names.array().data()) {
      if (EqualsNoCase(name.bstr(), L"Total") || name.bstr() == L"Runs") totals += name.bstr();
    }
    return totals;
  };
  EXPECT_EQ(listed(VARIANT_FALSE), L"RunsTotal");
  book1->put_Enabled(VARIANT_FALSE);
  EXPECT_EQ(listed(VARIANT_TRUE), L"RunsTOTAL");
}

// Lookups by path compare exactly; AppIndex also finds a file of the same
// name in another folder.
TEST_F(AppCollectionTest, LookupByPathComparesExactly) {
  apps_->Add(NewApp("other/Calc.xlsx").get());
  apps_->Add(NewApp("Plan.xlsx").get());
  const struct {
    std::string path;
    int32_t index;
  } cases[] = {{"data/Calc.xlsx", 0}, {"data/calc.xlsx", -1}, {"Plan.xlsx", 1}};
  for (const auto& c : cases) {
    int32_t index = -2;
    EXPECT_EQ(apps_->AppIndex(In(c.path), &index), S_OK);
    EXPECT_EQ(index, c.index) << c.path;
  }
  EXPECT_EQ(apps_->DisplayLocation(L"Linked", In("other/CALC.xlsx")), E_FAIL);
  EXPECT_EQ(TakeDesc(),
            L"Bridge::DisplayLocation - the file name was not found in the Bridge "
            L"application files:  " +
                In("other/CALC.xlsx"));
  EXPECT_EQ(apps_->DisplayLocation(L"Linked", In("other/Calc.xlsx")), S_OK);
}

// Working copies of two files with one name get names of their own; a
// file already in the working folder is copied as "Copy of"; nothing there
// is ever replaced.
TEST_F(AppCollectionTest, WorkingCopiesNeverReplaceFiles) {
  fs::create_directories(files_.work());
  files_testing::WriteFile(files_.work() / "Calc (2).xlsx", "kept");
  for (const char* source : {"a/Calc.xlsx", "b/Calc.xlsx", "work/Plan.xlsx"}) {
    ASSERT_EQ(apps_->MakeCopyAndAdd(NewApp(source).get()), S_OK);
  }
  EXPECT_EQ(Text(0, &IApp::get_Path), In("work/Calc.xlsx"));
  EXPECT_EQ(Text(1, &IApp::get_Path), In("work/Calc (3).xlsx"));
  EXPECT_EQ(Text(2, &IApp::get_Path), In("work/Copy of Plan.xlsx"));
  EXPECT_EQ(ReadFile(files_.work() / "Calc (2).xlsx"), "kept");

  const ComPtr<IApp> linked = NewApp("c/Linked.xlsx");
  fs::remove(ToUtf8(In("c/Linked.xlsx")));
  EXPECT_EQ(apps_->ConvertLinkedFile(linked.get()), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Unable to make working copy of the file: " + In("c/Linked.xlsx"));
}

// The collection over the sample plant's host.
class AppCollectionHostTest : public host_testing::PlantTest {
 protected:
  void SetUp() override {
    PlantTest::SetUp();
    HostObjects host;
    host.workspace = workspace_;
    HostState::Current().Replace(std::move(host));
  }
  // A working copy of a workbook named `name`, added; its path.
  std::wstring AddCopy(const ComPtr<IApp>& app, const std::string& name) {
    EXPECT_EQ(app->put_Path(files_.File(name)), S_OK);
    EXPECT_EQ(apps_->MakeCopyAndAdd(app.get()), S_OK);
    return Got(app.get(), &IApp::get_Path);
  }

  apps_testing::AppFiles files_;
  ComPtr<IAppCollection> apps_ = MakeObject<CAppCollection>();
  ComPtr<IApp> app_ = MakeObject<CApp>();
};

// A file whose save fails is neither stored nor deleted and SaveFiles
// reports that failure; stored, the library's working copy goes and the
// file can be checked out into the working folder.
TEST_F(AppCollectionHostTest, FailedSaveStopsBeforeTheHostStoresTheFile) {
  const std::wstring copy = AddCopy(app_, "Calc.xlsx");
  // Another application holding the workbook makes this App's read-only.
  dispatch_testing::LateBound other = dispatch_testing::LateBound::Create(L"Excel.Application");
  other.Object(L"Workbooks").Call(L"Open", {Variant(copy)});
  ASSERT_EQ(app_->SetValue(L"Linked", Variant(L"changed")), S_OK);
  EXPECT_TRUE(Failed(apps_->SaveFiles(VARIANT_FALSE)));
  EXPECT_EQ(TakeDesc(), L"Use Save-As for Read-Only Files:  " + copy);
  EXPECT_EQ(Got(app_.get(), &IApp::get_OID), -1);
  EXPECT_TRUE(fs::exists(ToUtf8(copy)));

  other.Call(L"Quit");
  app_->TerminateApp(VARIANT_FALSE);
  ASSERT_EQ(apps_->SaveFiles(VARIANT_TRUE), S_OK);
  const std::wstring checked_out = Got(app_.get(), &IApp::get_Path);
  EXPECT_FALSE(fs::exists(ToUtf8(copy))) << "the host holds the file now";
  EXPECT_TRUE(checked_out.starts_with(FromUtf8(files_.work().string()))) << checked_out;
  EXPECT_TRUE(ReadFile(ToUtf8(checked_out)) == ReadFile(ToUtf8(files_.File("Calc.xlsx"))));
}

// Reading the App's "File" element takes the stored file out of the host,
// checked out, with its macros. A file stored without a checkout saves again
// with nothing to check in.
TEST_F(AppCollectionHostTest, FileElementReadsTheStoredFileBack) {
  AddCopy(app_, "R&D.xlsx");
  app_->put_MacroRelease(L"Release");
  ASSERT_EQ(apps_->SaveFiles(VARIANT_FALSE), S_OK);
  ASSERT_EQ(apps_->SaveFiles(VARIANT_FALSE), S_OK) << TakeDesc();
  Variant document;
  ASSERT_EQ(app_->GetXML(&document), S_OK);

  const ComPtr<IApp> read = MakeObject<CApp>();
  ASSERT_EQ(read->ReadXML(document), S_OK);
  const std::wstring path = Got(read.get(), &IApp::get_Path);
  EXPECT_TRUE(ReadFile(ToUtf8(path)) == ReadFile(ToUtf8(files_.File("R&D.xlsx"))));
  EXPECT_TRUE(path.starts_with(FromUtf8(files_.work().string()))) << path;
  EXPECT_EQ(Got(read.get(), &IApp::get_MacroRelease), L"Release");
  EXPECT_EQ(Got(read.get(), &IApp::get_CheckedOut), VARIANT_TRUE);
  EXPECT_EQ(read->ReadXML(Variant(int32_t{1})), E_INVALIDARG);
}

}  // namespace
}  // namespace ovc::apps
