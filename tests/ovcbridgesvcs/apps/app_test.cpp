#include "ovcbridgesvcs/apps/app.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/ovcbridgesvcs/apps/app_files.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::apps {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;

class AppTest : public ::testing::Test {
 protected:
  bool Flag(HRESULT (IApp::*get)(VARIANT_BOOL*)) { return Got(app_.get(), get) == VARIANT_TRUE; }
  std::wstring Read(const std::wstring& location) {
    Variant value;
    EXPECT_EQ(app_->GetValue(location, &value), S_OK) << TakeDesc();
    return value.vt() == VT_BSTR ? value.bstr() : L"?";
  }

  apps_testing::AppFiles files_;
  ComPtr<IApp> app_ = MakeObject<CApp>();
};

// Without a file the App answers what needs no document and refuses the
// rest with "file not set".
TEST_F(AppTest, WithoutAdapterOnlyBookkeepingAnswers) {
  EXPECT_FALSE(Flag(&IApp::get_Saved));
  EXPECT_TRUE(Flag(&IApp::get_Dirty)) << "an App without a document is not saved";
  EXPECT_EQ(app_->SetValue(L"Total", Variant(1.0)), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"App Error:  Application file not set.");
}

// Setting a path: the file must exist and be a file; its extension picks
// the adapter and names the App. Paths compare exactly: a path differing
// in letter case is another file, and the open one is closed unsaved.
TEST_F(AppTest, PathChoosesAdapterByExtensionAndComparesExactly) {
  for (const std::wstring& unusable : {files_.File("x") + L".xlsx", files_.File("d/x") + L"/.."}) {
    EXPECT_EQ(app_->put_Path(unusable), E_FAIL);
    EXPECT_EQ(TakeDesc(), L"Unable to access application file for statistics.");
  }
  EXPECT_EQ(app_->put_Path(files_.File("notes")), E_FAIL);
  EXPECT_EQ(TakeDesc(),
            L"Application file name must have extension of .doc, .docx, .xls., "
            L".xlsx or .xlsm");
  const ComPtr<IApp> text_file = MakeObject<CApp>();
  EXPECT_EQ(text_file->put_Path(files_.File("Notes.txt")), E_POINTER);

  ASSERT_EQ(app_->put_Path(files_.File("Calc.XLSX")), S_OK);
  EXPECT_EQ(Got(app_.get(), &IApp::get_FullName), L"Calc.XLSX");
  ASSERT_EQ(app_->SetValue(L"Linked", Variant(L"changed")), S_OK) << TakeDesc();
  ASSERT_EQ(app_->put_Path(files_.File("Calc.XLSX")), S_OK);
  EXPECT_EQ(Read(L"Linked"), L"changed") << "the same path leaves the workbook open";
  ASSERT_EQ(app_->put_Path(files_.File("calc.xlsx")), S_OK);
  EXPECT_EQ(Read(L"Linked"), L"linked") << "another file";
}

// Dirty follows changed bookkeeping and the document's Saved; the clean
// mark records the file's size and time, which FileDirty compares. Save
// writes nothing for a file linked exactly as VARIANT_TRUE.
TEST_F(AppTest, DirtyBaselineAndSave) {
  const std::wstring book = files_.File("Calc.xlsx");
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

  ASSERT_EQ(app_->put_Linked(VARIANT_TRUE), S_OK);
  ASSERT_EQ(app_->SetValue(L"Linked", Variant(L"changed")), S_OK) << TakeDesc();
  EXPECT_TRUE(Flag(&IApp::get_Dirty)) << "an unsaved document";
  EXPECT_EQ(app_->Save(), S_OK);
  EXPECT_FALSE(Flag(&IApp::get_FileDirty)) << "a linked file is never written";
  app_->TerminateApp(VARIANT_FALSE);
  ASSERT_EQ(app_->put_Linked(1), S_OK);
  ASSERT_EQ(app_->SetValue(L"Linked", Variant(L"changed")), S_OK) << TakeDesc();
  EXPECT_EQ(app_->Save(), S_OK) << TakeDesc();
  EXPECT_TRUE(Flag(&IApp::get_FileDirty));
}

// A copy takes file, names and macros but is a new file record.
TEST_F(AppTest, CopyIsNewRecord) {
  ASSERT_EQ(app_->put_Path(files_.File("Calc.xlsx")), S_OK);
  app_->put_Name(L"Report");
  app_->put_MacroPostImport(L"Finish");
  app_->put_OID(42);
  const ComPtr<IApp> copy = MakeObject<CApp>();
  ASSERT_EQ(copy->CopyApp(app_.get()), S_OK);
  EXPECT_EQ(Got(copy.get(), &IApp::get_FullName), L"Report.xlsx");
  EXPECT_EQ(Got(copy.get(), &IApp::get_MacroPostImport), L"Finish");
  EXPECT_EQ(Got(copy.get(), &IApp::get_OID), -1);
}

}  // namespace
}  // namespace ovc::apps
