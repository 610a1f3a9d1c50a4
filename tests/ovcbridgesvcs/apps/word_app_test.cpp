#include "ovcbridgesvcs/apps/word_app.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "automation/class_registry.h"
#include "automation/error_info.h"
#include "automation/late_call.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "office/common/macro_registry.h"
#include "office/word/registration.h"
#include "ovcbridgesvcs/apps/word_app_text.h"
#include "tests/office/office_test_support.h"
#include "tests/ovcbridgesvcs/frame/library_registered.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::apps {
namespace {

using host_testing::Got;
using Texts = std::vector<std::wstring>;

Variant Vector(const Texts& texts) {
  std::vector<Variant> values;
  for (const std::wstring& text : texts) values.emplace_back(text);
  return Variant(SafeArray::FromValues(std::move(values)));
}

Texts TextsOf(const Variant& value) {
  if (value.vt() == VT_BSTR) return {value.bstr()};
  Texts texts;
  if (value.IsArray()) {
    for (const Variant& element : value.array().data()) texts.push_back(element.bstr());
  }
  return texts;
}

bool ErrorSays(const wchar_t* part) {
  return TakeErrorDescription().find(part) != std::wstring::npos;
}

TEST(WordAppTextTest, ReadTextsDropMarksAndFormFieldFill) {
  const struct {
    std::wstring shown, value;
  } reads[] = {{L"two\r\r", L"two\r"},
               {L"\u2002\u2002", L""},
               {L"a\u2002b", L"a b"},
               {L" FORMTEXT x", L" x"},
               {L"no FORMTEXT", L"no FORMTEXT"}};
  for (const auto& read : reads) EXPECT_EQ(word::ValueOfShownText(read.shown), read.value);
}

class WordAppTest : public ::testing::Test {
 protected:
  // Opens a copy of `fixture`, closing the document open before unsaved.
  void Open(const std::string& fixture) {
    TearDown();
    ASSERT_EQ(ovc::word::RegisterWordClasses(), S_OK);
    ComPtr<IDispatch> object;
    ASSERT_EQ(CreateObject(L"OVCBridgeSvcs.WordApp", &object), S_OK);
    ASSERT_EQ(object.As(&app_), S_OK);
    ASSERT_EQ(app_->put_Path(FromUtf8(office::testing::CopyFixture(folder_, fixture))), S_OK);
    ASSERT_EQ(app_->putLinkedPtr(&linked_), S_OK);
  }
  void TearDown() override {
    if (app_) {
      EXPECT_EQ(app_->TerminateApp(VARIANT_FALSE), S_OK);
    }
  }

  bool Flag(HRESULT (IExternalApp::*get)(VARIANT_BOOL*)) {
    return Got(app_.get(), get) != VARIANT_FALSE;
  }
  // The location list, checked against the location count.
  Variant Locations() {
    Variant names = Got(app_.get(), &IExternalApp::get_LocationList);
    EXPECT_EQ(names.array().size(),
              static_cast<size_t>(Got(app_.get(), &IExternalApp::get_LocationCount)));
    return names;
  }
  bool Exists(const wchar_t* location) {
    VARIANT_BOOL exists = VARIANT_FALSE;
    EXPECT_EQ(app_->LocationExists(location, &exists), S_OK);
    return exists != VARIANT_FALSE;
  }

  Texts Read(const std::wstring& location) {
    Variant value;
    EXPECT_EQ(app_->GetValue(location, &value), S_OK) << TakeErrorDescription();
    return TextsOf(value);
  }
  // Writes `texts` as a vector, which must succeed, and reads them back.
  void WriteVector(const wchar_t* location, const Texts& texts, VARIANT_BOOL resize) {
    EXPECT_EQ(app_->SetVectorValue(location, Vector(texts), resize), S_OK)
        << TakeErrorDescription();
    EXPECT_EQ(Read(location), texts) << location;
  }

  const frame_testing::LibraryRegistered registered_;
  office::testing::TempDir folder_;
  VARIANT_BOOL linked_ = VARIANT_FALSE;
  ComPtr<IExternalApp> app_;
};

TEST_F(WordAppTest, ReadsFieldResultsTextsAndCellsWithoutMarks) {
  Open("bookmarks.docx");
  EXPECT_EQ(Read(L"WholePara"), Texts{L"Whole paragraph"});
  EXPECT_EQ(Read(L"Column"), (Texts{L"b1", L"b2", L"b3"}));
  Variant value;
  EXPECT_EQ(app_->GetValue(L"Block", &value), E_FAIL);
  EXPECT_TRUE(ErrorSays(L"2 dimensional"));
  EXPECT_FALSE(Exists(L"Missing"));

  Open("fields.docx");
  EXPECT_EQ(Read(L"Text1"), Texts{L"Result"});
  EXPECT_EQ(Read(L"Empty"), Texts{L""});
  EXPECT_EQ(Read(L"Vector"), (Texts{L"c1", L"c2", L"c3"}));
}

// Each write is read back on success (`read_or_error` is the text read) or
// names its reason on failure; a shortened text succeeds with S_FALSE.
TEST_F(WordAppTest, ScalarWritesByFieldKindAndTheirRefusals) {
  const std::wstring long_text = std::wstring(254, L'y') + L"\U0001D11Ez";
  const std::wstring kept = std::wstring(254, L'y');
  const struct {
    const char* fixture;
    const wchar_t* location;
    Variant value;
    HRESULT status;
    const wchar_t* read_or_error;
  } cases[] = {
      {"fields.docx", L"NoField", Variant(L"fresh"), S_OK, L"fresh"},
      {"fields.docx", L"Text1", Variant(long_text), S_FALSE, kept.c_str()},
      {"fields.docx", L"Check1", Variant(L"0"), S_OK, L"0"},
      {"fields.docx", L"Drop1", Variant(L"Blue"), S_OK, L"Blue"},
      {"fields.docx", L"TwoFields", Variant(L"both"), E_FAIL, L"several form fields"},
      {"fields.docx", L"Text1", Variant(7), E_FAIL, L""},
      {"fields.docx", L"Short", Variant(L"too long"), E_FAIL,
       L"SetValue failed at bookmark:  Short"},
      {"fields.docx", L"Missing", Variant(L"x"), E_FAIL, L"Bookmark or form-field not found:  "},
      {"fields.docx", L"", Variant(L"x"), E_FAIL, L"Cannot GoTo an Empty Bookmark"},
      {"fields.docx", L"Disabled", Variant(L"x"), E_FAIL, L"location \"Disabled\" is locked"},
      {"bookmarks.docx", L"WholeTable", Variant(L"flat"), E_FAIL, L"replace the table"},
      {"bookmarks.docx", L"OneCell", Variant(L"cell"), S_OK, L"cell"},
  };
  for (const auto& c : cases) {
    Open(c.fixture);
    EXPECT_EQ(app_->SetValue(c.location, c.value), c.status) << c.location;
    if (Succeeded(c.status)) {
      EXPECT_EQ(Read(c.location), Texts{c.read_or_error}) << c.location;
    } else {
      EXPECT_NE(TakeErrorDescription().find(c.read_or_error), std::wstring::npos) << c.location;
    }
  }
}

TEST_F(WordAppTest, VectorWritesCoverExactlyTheWrittenCells) {
  Open("bookmarks.docx");
  WriteVector(L"Column", {L"x", L"y"}, VARIANT_TRUE);
  // A value that is no text leaves its cell as it is: b3 was emptied.
  Variant three(SafeArray::FromValues({Variant(L"x"), Variant(L"y"), Variant::Null()}));
  EXPECT_EQ(app_->SetVectorValue(L"Column", three, VARIANT_TRUE), S_OK);
  EXPECT_EQ(Read(L"Column"), (Texts{L"x", L"y", L""}));
  WriteVector(L"Column", {L"1", L"2", L"3", L"4", L"5"}, VARIANT_TRUE);
  WriteVector(L"OneCell", {L"r1", L"r2", L"r3", L"r4", L"r5"}, VARIANT_FALSE);
  // Along the row from b1: of the column's cells only b1 changed.
  EXPECT_EQ(Read(L"Column"), (Texts{L"r1", L"2", L"3", L"4", L"5"}));
  EXPECT_EQ(app_->SetVectorValue(L"Column", Vector({L"one"}), VARIANT_FALSE), S_OK);
  EXPECT_EQ(app_->SetValue(L"Column", Variant(L"whole cell")), S_OK) << TakeErrorDescription();
  EXPECT_EQ(Read(L"Column"), Texts{L"whole cell"});

  Open("fields.docx");
  WriteVector(L"Vector", {L"p", L"q", L"r"}, VARIANT_TRUE);
  EXPECT_EQ(Read(L"Cell2"), Texts{L"q"});

  Open("tables.docx");
  EXPECT_EQ(app_->SetVectorValue(L"TwoTables", Vector({L"x"}), VARIANT_TRUE), E_FAIL);
  EXPECT_TRUE(ErrorSays(L"single table"));
}

TEST_F(WordAppTest, BracketsLiftProtectionAndTrackingAndAlwaysPutThemBack) {
  Open("protected_forms.docx");
  EXPECT_EQ(app_->SetValue(L"NoField", Variant(L"during")), E_FAIL);
  ASSERT_EQ(app_->PreImport(), S_OK) << TakeErrorDescription();
  EXPECT_EQ(app_->SetValue(L"NoField", Variant(L"during")), S_OK) << TakeErrorDescription();
  ASSERT_EQ(app_->PostImport(), S_OK) << TakeErrorDescription();
  EXPECT_EQ(app_->SetValue(L"NoField", Variant(L"after")), E_FAIL);
  EXPECT_EQ(Read(L"NoField"), Texts{L"during"});

  ASSERT_EQ(app_->PreImport(), S_OK);
  ASSERT_EQ(app_->put_MacroPostImport(L"NoSuchMacro"), S_OK);
  EXPECT_EQ(app_->PostImport(), E_FAIL);
  EXPECT_EQ(app_->SetValue(L"NoField", Variant(L"after")), E_FAIL);

  Open("tracking.docx");
  ASSERT_EQ(app_->put_MacroPreImport(L"NoSuchMacro"), S_OK);
  EXPECT_EQ(app_->PreImport(), E_FAIL);
  EXPECT_TRUE(ErrorSays(L"NoSuchMacro"));
  EXPECT_EQ(app_->SetValue(L"NoField", Variant(L"untracked")), E_FAIL);
  EXPECT_TRUE(Flag(&IExternalApp::get_Saved));
}

TEST_F(WordAppTest, TerminateKeepsSavedChangesBookmarksMoveByNameAndPropertiesAreRead) {
  Open("fields.docx");
  ASSERT_EQ(app_->put_Description(L"Pump sheet"), S_OK) << TakeErrorDescription();
  EXPECT_EQ(Got(app_.get(), &IExternalApp::get_Description), L"Pump sheet");
  ASSERT_EQ(app_->Save(), S_OK) << TakeErrorDescription();
  EXPECT_FALSE(Got(app_.get(), &IExternalApp::get_ModifiedBy).empty());
  EXPECT_EQ(Got(app_.get(), &IExternalApp::get_ModifiedTimeStamp).vt(), VT_DATE);
  EXPECT_EQ(app_->RunMacro(L"NoSuchMacro"), E_FAIL);
  EXPECT_TRUE(ErrorSays(L"Error running Word macro:  NoSuchMacro"));
  EXPECT_EQ(app_->SetVectorValue(L"NoField", Vector({L"x"}), VARIANT_TRUE), E_INVALIDARG);
  EXPECT_EQ(app_->SetVectorValue(L"Vector", Variant(L"x"), VARIANT_TRUE), E_FAIL);
  EXPECT_EQ(TakeErrorDescription(), L"The vector must contain Variants.");

  ASSERT_EQ(app_->SetValue(L"NoField", Variant(L"kept")), S_OK);
  ASSERT_EQ(app_->Save(), S_OK);
  ASSERT_EQ(app_->SetValue(L"NoField", Variant(L"dropped")), S_OK);
  EXPECT_FALSE(Flag(&IExternalApp::get_Saved));
  ASSERT_EQ(app_->TerminateApp(VARIANT_FALSE), S_OK);
  EXPECT_EQ(Read(L"NoField"), Texts{L"kept"});

  EXPECT_EQ(app_->CloneLocation(L"NoField", L"Copy", VARIANT_TRUE), S_OK) << TakeErrorDescription();
  EXPECT_EQ(Read(L"Copy"), Texts{L"kept"});
  EXPECT_FALSE(Exists(L"NoField"));
  EXPECT_EQ(app_->DeleteLocationName(L"Copy"), S_OK);
  EXPECT_EQ(app_->DeleteLocationName(L"Copy"), S_OK);
  EXPECT_EQ(app_->RefreshLocationMap(), S_OK);
  Variant names = Locations();
  for (const Variant& name : names.array().data()) EXPECT_NE(name.bstr(), L"Copy");

  Open("protected_password.docx");
  EXPECT_EQ(app_->PreImport(), E_FAIL);
  EXPECT_TRUE(ErrorSays(L"can not handle a password-protected file"));
}

TEST_F(WordAppTest, ExportMacrosRunAroundTheBracketAndLeaveTheDocumentClean) {
  std::vector<std::wstring> ran;
  for (const wchar_t* name : {L"BeforeExport", L"AfterExport"}) {
    office::RegisterMacro(name, [&ran, name](IDispatch*, std::span<const Variant>, Variant*) {
      ran.push_back(name);
      return S_OK;
    });
  }
  Open("fields.docx");
  ASSERT_EQ(app_->put_MacroPreExport(L"BeforeExport"), S_OK);
  ASSERT_EQ(app_->put_MacroPostExport(L"AfterExport"), S_OK);
  ASSERT_EQ(app_->PreExport(), S_OK) << TakeErrorDescription();
  EXPECT_EQ(Read(L"Text1"), Texts{L"Result"});
  ASSERT_EQ(app_->PostExport(), S_OK) << TakeErrorDescription();
  EXPECT_EQ(ran, (std::vector<std::wstring>{L"BeforeExport", L"AfterExport"}));
  EXPECT_TRUE(Flag(&IExternalApp::get_Saved));
  for (const wchar_t* name : {L"BeforeExport", L"AfterExport"}) office::UnregisterMacro(name);
}

TEST_F(WordAppTest, WritesGoWhereLocationExistsFoundAndWordGoneIsStartedAgain) {
  office::RegisterMacro(L"QuitWord", [](IDispatch* word, std::span<const Variant>, Variant*) {
    return CallByName(word, L"Quit", DISPATCH_METHOD);
  });
  Open("fields.docx");
  ASSERT_TRUE(Exists(L"Vector"));
  EXPECT_EQ(app_->SetVectorValueAtSelection(Vector({L"v", std::wstring(300, L'w')}), VARIANT_TRUE),
            S_FALSE);
  ASSERT_TRUE(Exists(L"NoField"));
  EXPECT_EQ(app_->SetValueAtSelection(Variant(L"here")), S_OK);
  EXPECT_EQ(Read(L"NoField"), Texts{L"here"});
  EXPECT_EQ(Read(L"Vector"), (Texts{L"v", std::wstring(255, L'w')}));

  EXPECT_EQ(app_->RunMacro(L"QuitWord"), S_OK);  // Word's own question saves the change
  EXPECT_EQ(Read(L"NoField"), Texts{L"here"});
  ASSERT_EQ(app_->SetValue(L"NoField", Variant(L"saved on quit")), S_OK);
  ASSERT_EQ(app_->TerminateApp(VARIANT_TRUE), S_OK);
  EXPECT_EQ(Read(L"NoField"), Texts{L"saved on quit"});
  office::UnregisterMacro(L"QuitWord");
}

TEST_F(WordAppTest, LinkedDocumentsOpenReadOnlyAndRefuseSave) {
  linked_ = VARIANT_TRUE;
  Open("fields.docx");
  EXPECT_EQ(app_->SetValue(L"Text1", Variant(L"memory only")), S_OK);
  EXPECT_EQ(app_->Save(), E_FAIL);
  EXPECT_TRUE(ErrorSays(L"Use Save-As for Read-Only Files"));
  EXPECT_EQ(Locations().array().data()[0].bstr(), L"Cell1");
}

}  // namespace
}  // namespace ovc::apps
