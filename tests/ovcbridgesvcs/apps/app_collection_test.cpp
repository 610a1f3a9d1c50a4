#include "ovcbridgesvcs/apps/app_collection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "automation/dom/dom.h"
#include "automation/error_info.h"
#include "automation/text.h"
#include "ovcbridgesvcs/apps/app.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "tests/ovcbridgesvcs/apps/fake_adapter.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::apps {
namespace {

namespace fs = std::filesystem;
using apps_testing::FakeExcelApps;

std::wstring TakeDesc() { return ExtractDesc(DescriptionOf(GetErrorInfo().get())); }

std::string Content(const std::wstring& path) {
  std::ostringstream text;
  text << std::ifstream(ToUtf8(path)).rdbuf();
  return text.str();
}

class AppCollectionTest : public ::testing::Test {
 protected:
  // A new App named `name`, on the file `relative` (made when missing)
  // unless that is empty.
  ComPtr<IApp> NewApp(const std::string& relative, const std::wstring& name = L"") {
    ComPtr<IApp> app = MakeObject<CApp>();
    app->put_Name(name);
    const fs::path path = root() / relative;
    if (relative.empty()) return app;
    EXPECT_EQ(app->put_Path(fs::exists(path) ? FromUtf8(path.string()) : fakes_.File(relative)),
              S_OK);
    return app;
  }
  fs::path root() const { return fakes_.work().parent_path(); }
  std::wstring Text(int32_t index, HRESULT (IApp::*get)(std::wstring*)) {
    Variant app;
    EXPECT_EQ(apps_->get_Item(Variant::I4(index), &app), S_OK);
    std::wstring text;
    (ComPtr<IDispatch>(app.dispatch()).As<IApp>().get()->*get)(&text);
    return text;
  }

  FakeExcelApps fakes_;
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
    EXPECT_EQ(apps_->InsertApp(NewApp("", L"x").get(), c.index), S_OK);
    std::wstring order;
    for (int32_t i = 0; i < 4; ++i) order += Text(i, &IApp::get_Name);
    EXPECT_EQ(order, c.order) << c.index;
  }
  apps_->Remove(3);
  VARIANT_BOOL dirty = VARIANT_TRUE;
  apps_->put_Dirty(VARIANT_FALSE);
  EXPECT_EQ(apps_->SwapAppPosition(1, 1), S_OK);
  apps_->get_Dirty(&dirty);
  EXPECT_EQ(dirty, VARIANT_FALSE);

  Variant app;
  EXPECT_EQ(apps_->get_Item(Variant(L"0"), &app), E_INVALIDARG);
  EXPECT_EQ(TakeDesc(), L"The index variant must be of type VT_I2 or VT_I4");
  EXPECT_EQ(apps_->get_Item(Variant::I2(3), &app), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Bridge:  App index is out of range (3 of [0..2])");
  EXPECT_EQ(apps_->SwapAppPosition(0, -1), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Bridge:  SwapAppPosition index is out of range (-1 of [0..2])");
  EXPECT_EQ(apps_->Add(apps_.get()), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Only Apps can be added to the Bridge");
}

// One location per name whatever its letter case, spelled as the first
// file has it; disabled files left out on request.
TEST_F(AppCollectionTest, LocationMapJoinsNamesOfAllFiles) {
  const ComPtr<IApp> book1 = NewApp("Book1.xlsx");
  apps_->Add(book1.get());
  apps_->Add(NewApp("Book2.xlsx").get());
  fakes_.scripts[0]->locations = {L"Total", L"Rate"};
  fakes_.scripts[1]->locations = {L"TOTAL", L"Flow"};
  const auto listed = [&](VARIANT_BOOL filter) {
    Variant names;
    EXPECT_EQ(apps_->get_LocationList(filter, &names), S_OK);
    std::wstring joined;
    for (const Variant& name : names.array().data()) joined += name.bstr() + L" ";
    return joined;
  };
  EXPECT_EQ(listed(VARIANT_FALSE), L"Flow Rate Total ");
  book1->put_Enabled(VARIANT_FALSE);
  EXPECT_EQ(listed(VARIANT_TRUE), L"Flow TOTAL ");
  int32_t count = 0;
  apps_->get_LocationCount(&count);
  EXPECT_EQ(count, 2);
}

// Lookups by path compare exactly; AppIndex also finds a file of the same
// name in another folder.
TEST_F(AppCollectionTest, LookupByPathAndOid) {
  apps_->Add(NewApp("other/Calc.xlsx").get());
  const ComPtr<IApp> second = NewApp("Plan.xlsx");
  second->put_OID(7);
  apps_->Add(second.get());
  const struct {
    std::string path;
    int32_t index;
  } cases[] = {{"data/Calc.xlsx", 0}, {"data/calc.xlsx", -1}, {"Plan.xlsx", 1}};
  for (const auto& c : cases) {
    int32_t index = -2;
    EXPECT_EQ(apps_->AppIndex(FromUtf8((root() / c.path).string()), &index), S_OK);
    EXPECT_EQ(index, c.index) << c.path;
  }
  int32_t index = -1;
  EXPECT_EQ(apps_->get_IndexByOID(7, &index), S_OK);
  EXPECT_EQ(index, 1);
  const std::wstring upper = FromUtf8((root() / "other/CALC.xlsx").string());
  EXPECT_EQ(apps_->DisplayLocation(L"Total", upper), E_FAIL);
  EXPECT_EQ(TakeDesc(),
            L"Bridge::DisplayLocation - the file name was not found in the Bridge "
            L"application files:  " +
                upper);
  EXPECT_EQ(apps_->DisplayLocation(L"Total", Text(0, &IApp::get_Path)), S_OK);
}

// Working copies of two files with one name get names of their own; a
// file already in the working folder is copied as "Copy of"; nothing there
// is ever replaced.
TEST_F(AppCollectionTest, WorkingCopiesNeverReplaceFiles) {
  fs::create_directories(fakes_.work());
  std::ofstream(fakes_.work() / "Calc (2).xlsx") << "kept";
  for (const char* source : {"a/Calc.xlsx", "b/Calc.xlsx", "work/Plan.xlsx"}) {
    ASSERT_EQ(apps_->MakeCopyAndAdd(NewApp(source).get()), S_OK);
  }
  const auto work = [&](const char* name) { return FromUtf8((fakes_.work() / name).string()); };
  EXPECT_EQ(Text(0, &IApp::get_Path), work("Calc.xlsx"));
  EXPECT_EQ(Text(1, &IApp::get_Path), work("Calc (3).xlsx"));
  EXPECT_EQ(Text(2, &IApp::get_Path), work("Copy of Plan.xlsx"));
  EXPECT_EQ(Content(work("Calc (2).xlsx")), "kept");
  EXPECT_EQ(Content(work("Calc (3).xlsx")), "data");

  const ComPtr<IApp> linked = NewApp("c/Linked.xlsx");
  fs::remove(root() / "c/Linked.xlsx");
  EXPECT_EQ(apps_->ConvertLinkedFile(linked.get()), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Unable to make working copy of the file: " +
                            FromUtf8((root() / "c/Linked.xlsx").string()));
}

// Saving into the host: a file whose save fails is neither stored nor
// deleted, and SaveFiles reports that failure; others are stored and the
// library's working copy removed.
class AppCollectionHostTest : public host_testing::PlantTest {
 protected:
  void SetUp() override {
    PlantTest::SetUp();
    HostObjects host;
    host.workspace = workspace_;
    host.cache = cache_;
    HostState::Current().Replace(std::move(host));
  }
  FakeExcelApps fakes_;
  ComPtr<IAppCollection> apps_ = MakeObject<CAppCollection>();
};

TEST_F(AppCollectionHostTest, FailedSaveStopsBeforeTheHostStoresTheFile) {
  const ComPtr<IApp> app = MakeObject<CApp>();
  ASSERT_EQ(app->put_Path(fakes_.File("Calc.xlsx")), S_OK);
  ASSERT_EQ(apps_->MakeCopyAndAdd(app.get()), S_OK);
  std::wstring copy;
  app->get_Path(&copy);
  fakes_.scripts[0]->save_result = E_ACCESSDENIED;
  EXPECT_EQ(apps_->SaveFiles(VARIANT_FALSE), E_ACCESSDENIED);
  int32_t oid = 0;
  app->get_OID(&oid);
  EXPECT_EQ(oid, -1);
  EXPECT_TRUE(fs::exists(ToUtf8(copy)));

  fakes_.scripts[0]->save_result = S_OK;
  ASSERT_EQ(apps_->SaveFiles(VARIANT_TRUE), S_OK);
  app->get_OID(&oid);
  EXPECT_GE(oid, 0);
  std::wstring checked_out;
  app->get_Path(&checked_out);
  EXPECT_NE(checked_out, copy);
  EXPECT_FALSE(fs::exists(ToUtf8(copy))) << "the host holds the file now";
  EXPECT_TRUE(fs::path(ToUtf8(checked_out)).string().starts_with(fakes_.work().string()));
  EXPECT_EQ(Content(checked_out), "data");
}

// The App's "File" element names the file with each "&" escaped once and
// reading it back takes the stored file out of the host into the working
// folder, checked out, with its macros.
TEST_F(AppCollectionHostTest, FileElementReadsTheStoredFileBack) {
  const ComPtr<IApp> app = MakeObject<CApp>();
  ASSERT_EQ(app->put_Path(fakes_.File("R&D.xlsx")), S_OK);
  app->put_MacroPreExport(L"Before");
  app->put_MacroRelease(L"Release");
  ASSERT_EQ(apps_->MakeCopyAndAdd(app.get()), S_OK);
  ASSERT_EQ(apps_->SaveFiles(VARIANT_FALSE), S_OK);
  Variant document;
  ASSERT_EQ(app->GetXML(&document), S_OK);
  const ComPtr<IXMLDOMNode> node = ComPtr<IDispatch>(document.dispatch()).As<IXMLDOMNode>();
  std::wstring xml;
  ASSERT_EQ(node->get_xml(&xml), S_OK);
  EXPECT_NE(xml.find(L"FileName=\"R&amp;#38;D.xlsx\""), std::wstring::npos) << xml;
  EXPECT_NE(xml.find(L"BeforeToAppMacro=\"Before\""), std::wstring::npos) << xml;

  const ComPtr<IApp> read = MakeObject<CApp>();
  ASSERT_EQ(read->ReadXML(document), S_OK);
  std::wstring path;
  read->get_Path(&path);
  EXPECT_TRUE(path.starts_with(FromUtf8(fakes_.work().string()))) << path;
  EXPECT_EQ(Content(path), "data");
  VARIANT_BOOL checked_out = VARIANT_FALSE;
  read->get_CheckedOut(&checked_out);
  EXPECT_EQ(checked_out, VARIANT_TRUE);
  std::wstring macro;
  read->get_MacroRelease(&macro);
  EXPECT_EQ(macro, L"Release");
  EXPECT_EQ(read->ReadXML(Variant(int32_t{1})), E_INVALIDARG);
}

}  // namespace
}  // namespace ovc::apps
