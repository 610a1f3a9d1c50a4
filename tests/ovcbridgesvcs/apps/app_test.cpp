#include "ovcbridgesvcs/apps/app.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "tests/ovcbridgesvcs/apps/fake_adapter.h"

namespace ovc::apps {
namespace {

std::wstring TakeDesc() { return ExtractDesc(DescriptionOf(GetErrorInfo().get())); }

class AppTest : public ::testing::Test {
 protected:
  bool Flag(HRESULT (IApp::*get)(VARIANT_BOOL*)) {
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ((app_.get()->*get)(&flag), S_OK);
    return flag == VARIANT_TRUE;
  }

  apps_testing::FakeExcelApps fakes_;
  ComPtr<IApp> app_ = MakeObject<CApp>();
};

// Without a file the App answers what needs no document and refuses the
// rest with "file not set".
TEST_F(AppTest, WithoutAdapterOnlyBookkeepingAnswers) {
  EXPECT_FALSE(Flag(&IApp::get_Saved));
  EXPECT_TRUE(Flag(&IApp::get_Dirty)) << "an App without a document is not saved";
  Variant value;
  const std::function<HRESULT()> refused[] = {
      [&] { return app_->SetValue(L"Total", Variant(1.0)); },
      [&] { return app_->put_MacroPreImport(L"Prepare"); },
      [&] { return app_->get_ModifiedTimeStamp(&value); }};
  for (const auto& call : refused) {
    EXPECT_TRUE(Failed(call()));
    EXPECT_EQ(TakeDesc(), L"App Error:  Application file not set.");
  }
}

// Setting a path: the file must exist and be a file; its extension picks
// the adapter and names the App. Paths compare exactly: a path differing
// in letter case is another file.
TEST_F(AppTest, PathChoosesAdapterByExtensionAndComparesExactly) {
  for (const std::wstring& unusable : {fakes_.File("x") + L".xlsx", fakes_.File("d/x") + L"/.."}) {
    EXPECT_EQ(app_->put_Path(unusable), E_FAIL);
    EXPECT_EQ(TakeDesc(), L"Unable to access application file for statistics.");
  }
  EXPECT_EQ(app_->put_Path(fakes_.File("notes")), E_FAIL);
  EXPECT_EQ(TakeDesc(),
            L"Application file name must have extension of .doc, .docx, .xls., "
            L".xlsx or .xlsm");
  const std::wstring book = fakes_.File("Calc.XLSX");
  ASSERT_EQ(app_->put_Path(book), S_OK);
  ASSERT_EQ(fakes_.scripts.size(), 1u);
  EXPECT_EQ(fakes_.scripts[0]->path, book);
  std::wstring text;
  app_->get_FullName(&text);
  EXPECT_EQ(text, L"Calc.XLSX");
  ASSERT_EQ(app_->put_Path(book), S_OK);
  EXPECT_EQ(fakes_.scripts[0]->terminations, 0) << "the same path only refreshes the baseline";
  ASSERT_EQ(app_->put_Path(fakes_.File("calc.xlsx")), S_OK);
  EXPECT_EQ(fakes_.scripts[0]->terminations, 1) << "another file: the open one is closed";
  EXPECT_EQ(fakes_.scripts.size(), 1u) << "the adapter is kept";

  const ComPtr<IApp> text_file = MakeObject<CApp>();
  EXPECT_EQ(text_file->put_Path(fakes_.File("Notes.txt")), E_POINTER);
  text_file->get_Type(&text);
  EXPECT_EQ(text, L".txt");
}

// Dirty follows changed bookkeeping and the document's Saved; the clean
// mark records the file's size and time, which FileDirty compares.
TEST_F(AppTest, DirtyAndFileBaseline) {
  const std::wstring book = fakes_.File("Calc.xlsx");
  ASSERT_EQ(app_->put_Path(book), S_OK);
  EXPECT_TRUE(Flag(&IApp::get_Dirty));
  ASSERT_EQ(app_->put_Dirty(VARIANT_FALSE), S_OK);
  const std::function<HRESULT()> clean_setters[] = {
      [&] { return app_->put_OID(42); }, [&] { return app_->put_Converted(VARIANT_TRUE); },
      [&] { return app_->put_CheckedOut(VARIANT_FALSE); }, [&] { return app_->put_Name(L"Calc"); },
      [&] { return app_->put_Enabled(VARIANT_TRUE); }};
  for (const auto& set : clean_setters) EXPECT_EQ(set(), S_OK);
  EXPECT_FALSE(Flag(&IApp::get_Dirty)) << "unchanged values and plain fields leave it clean";
  EXPECT_TRUE(Flag(&IApp::get_CheckedOut)) << "any value marks the App checked out";
  EXPECT_EQ(app_->put_ModifiedTimeStamp(Variant(L"today")), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"The modified time stamp must be of type VT_DATE or VT_EMPTY");
  fakes_.scripts[0]->saved = VARIANT_FALSE;
  EXPECT_TRUE(Flag(&IApp::get_Dirty)) << "an unsaved document";

  EXPECT_FALSE(Flag(&IApp::get_FileDirty));
  std::ofstream(ToUtf8(book), std::ios::app) << "more";
  EXPECT_TRUE(Flag(&IApp::get_FileDirty));
}

// Save writes nothing for a file linked exactly as VARIANT_TRUE. A copy
// takes file, names and macros but is a new file record.
TEST_F(AppTest, SaveSkipsLinkedFilesAndCopyIsNewRecord) {
  ASSERT_EQ(app_->put_Path(fakes_.File("Calc.xlsx")), S_OK);
  ASSERT_EQ(app_->put_Linked(VARIANT_TRUE), S_OK);
  EXPECT_EQ(*fakes_.scripts[0]->linked, VARIANT_TRUE) << "the adapter reads the App's flag";
  EXPECT_EQ(app_->Save(), S_OK);
  EXPECT_EQ(fakes_.scripts[0]->saves, 0);
  ASSERT_EQ(app_->put_Linked(1), S_OK);
  EXPECT_EQ(app_->Save(), S_OK);
  EXPECT_EQ(fakes_.scripts[0]->saves, 1);

  app_->put_Name(L"Report");
  app_->put_MacroPostImport(L"Finish");
  app_->put_OID(42);
  app_->put_CheckedOut(VARIANT_TRUE);
  const ComPtr<IApp> copy = MakeObject<CApp>();
  ASSERT_EQ(copy->CopyApp(app_.get()), S_OK);
  std::wstring name;
  std::wstring macro;
  int32_t oid = 0;
  copy->get_FullName(&name);
  copy->get_MacroPostImport(&macro);
  copy->get_OID(&oid);
  EXPECT_EQ(name + L" " + macro + L" " + std::to_wstring(oid), L"Report.xlsx Finish -1");
  app_ = copy;
  EXPECT_FALSE(Flag(&IApp::get_CheckedOut));
}

}  // namespace
}  // namespace ovc::apps
