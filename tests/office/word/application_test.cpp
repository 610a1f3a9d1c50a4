#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/late_call.h"
#include "automation/text.h"
#include "office/word/application.h"
#include "tests/office/office_test_support.h"
#include "tests/office/package/package_test_support.h"
#include "tests/office/word/word_automation.h"

namespace ovc::word {
namespace {

using office::testing::CopyFixture;
using office::testing::RawEntries;

uint32_t CrcOf(const std::string& path, const std::string& entry) {
  for (const auto& raw : RawEntries(path)) {
    if (raw.name == entry) return raw.crc;
  }
  return 0;
}

using testing::Call;
using testing::Object;
using testing::WordTest;

TEST_F(WordTest, WindowStateAndOptionsAreKeptAndBadValuesRefused) {
  ComPtr<IDispatch> options = Object(application_.get(), L"Options");
  const struct {
    IDispatch* object;
    const wchar_t* member;
    Variant initial;
    Variant put;
    HRESULT status;
  } cases[] = {
      {application_.get(), L"WindowState", Variant::I4(0), Variant::I4(2), S_OK},
      {application_.get(), L"WindowState", Variant::I4(2), Variant::I4(-4143), E_INVALIDARG},
      {options.get(), L"Pagination", Variant::Bool(true), Variant::Bool(false), S_OK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.member));
    EXPECT_EQ(Call(c.object, c.member), c.initial);
    EXPECT_EQ(CallByName(c.object, c.member, DISPATCH_PROPERTYPUT, {c.put}), c.status);
    EXPECT_EQ(Call(c.object, c.member), Succeeded(c.status) ? c.put : c.initial);
  }
}

TEST_F(WordTest, OpenRefusesWhatItCannotServeNamingTheFile) {
  const struct {
    const char* fixture;
    HRESULT code;
    const char* description;
  } cases[] = {
      {"encrypted.docx", E_NOTIMPL, "encrypted.docx: encrypted package"},
      {"legacy.doc", E_NOTIMPL,
       "legacy.doc: conversion to .docx: LibreOffice wrote nothing (Error: source file could "
       "not be loaded)"},
      {"strict.docx", E_NOTIMPL, "strict.docx: Strict Open XML"},
      {"book.xlsx", E_NOTIMPL, "book.xlsx: a workbook, not a word-processing document"},
      {"not_office.zip", E_NOTIMPL, "not_office.zip: not an Office Open XML package"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    EXCEPINFO error;
    Variant result;
    const std::string path = CopyFixture(folder_, c.fixture);
    EXPECT_EQ(CallByName(Documents().get(), L"Open", DISPATCH_METHOD, {Variant(FromUtf8(path))},
                         &result, &error),
              c.code);
    EXPECT_EQ(ToUtf8(error.description).rfind(c.description, 0), 0u) << ToUtf8(error.description);
  }
  const std::string path = CopyFixture(folder_, "document.docx");
  EXPECT_EQ(CallByName(Documents().get(), L"Open", DISPATCH_METHOD,
                       {Variant(FromUtf8(path)), Variant(), Variant(), Variant(), Variant(L"pw")}),
            E_NOTIMPL);
}

TEST_F(WordTest, OpenGivesOneObjectPerFileAndHonoursReadOnlyAndLocks) {
  const std::string path = CopyFixture(folder_, "macros.docm");
  ComPtr<IDispatch> first = Open(path);
  ASSERT_TRUE(first);
  EXPECT_EQ(Open(folder_.File("./macros.docm")).get(), first.get());
  EXPECT_EQ(Call(first.get(), L"ReadOnly"), Variant::Bool(false));
  EXPECT_EQ(Call(Documents().get(), L"Count"), Variant::I4(1));

  ComPtr<IDispatch> other = MakeObject<Application>(office::Services{});
  ComPtr<IDispatch> busy =
      Object(Object(other.get(), L"Documents").get(), L"Open", {Variant(FromUtf8(path))});
  ASSERT_TRUE(busy);
  EXPECT_EQ(Call(busy.get(), L"ReadOnly"), Variant::Bool(true));
  EXPECT_EQ(Call(busy.get(), L"Save"), Variant::Error(E_ACCESSDENIED));

  // The macro project is kept by a save.
  const uint32_t project = CrcOf(path, "word/vbaProject.bin");
  ASSERT_NE(project, 0u);
  EXPECT_EQ(Call(first.get(), L"Save"), Variant());
  EXPECT_EQ(CrcOf(path, "word/vbaProject.bin"), project);
  Call(other.get(), L"Quit");
}

// SaveAs writes the document as the new file in the format its extension
// names, which it then is; the old file stays as it was.
TEST_F(WordTest, SaveAsMovesTheDocumentToTheNewFile) {
  const std::string path = CopyFixture(folder_, "bookmarks.docx");
  const std::string before = office::testing::ReadFile(path);
  ComPtr<IDispatch> document = Open(path);
  ASSERT_TRUE(document);
  const struct {
    std::string name;
    HRESULT status;
  } cases[] = {{"copy.docx", S_OK}, {"copy.xlsx", E_INVALIDARG}, {"copy.doc", S_OK}};
  for (const auto& c : cases) {
    const std::string target = folder_.File(c.name);
    EXPECT_EQ(CallByName(document.get(), L"SaveAs", DISPATCH_METHOD, {Variant(FromUtf8(target))}),
              c.status)
        << c.name;
    if (c.status != S_OK) continue;
    EXPECT_EQ(Call(document.get(), L"FullName"), Variant(FromUtf8(target)));
    EXPECT_EQ(Call(document.get(), L"Path"), Variant(FromUtf8(folder_.path().string())));
  }
  EXPECT_EQ(Call(document.get(), L"Name"), Variant(L"copy.doc"));
  EXPECT_EQ(office::testing::ReadFile(folder_.File("copy.doc")).substr(0, 4), "\xD0\xCF\x11\xE0");
  EXPECT_EQ(office::testing::ReadFile(path), before);
}

TEST_F(WordTest, UnprotectThenProtectLeavesTheSettingsByteForByte) {
  const std::string path = CopyFixture(folder_, "protected_password.docx");
  const uint32_t settings = CrcOf(path, "word/settings.xml");
  ComPtr<IDispatch> document = Open(path);
  ASSERT_TRUE(document);
  EXPECT_EQ(Call(document.get(), L"ProtectionType"), Variant::I4(2));
  EXCEPINFO error;
  EXPECT_EQ(CallByName(document.get(), L"Unprotect", DISPATCH_METHOD, {}, nullptr, &error),
            E_ACCESSDENIED);
  EXPECT_EQ(ToUtf8(error.description),
            "protected_password.docx: Unprotect: the document is protected with a password");
  EXPECT_EQ(Call(document.get(), L"Unprotect", {Variant(L"Secret")}),
            Variant::Error(E_ACCESSDENIED));
  EXPECT_EQ(Call(document.get(), L"Saved"), Variant::Bool(true));
  EXPECT_EQ(Call(document.get(), L"Unprotect", {Variant(L"secret")}), Variant());
  EXPECT_EQ(Call(document.get(), L"ProtectionType"), Variant::I4(-1));
  EXPECT_EQ(Call(document.get(), L"Saved"), Variant::Bool(false));
  EXPECT_EQ(
      Call(document.get(), L"Protect", {Variant::I4(2), Variant::Bool(true), Variant(L"secret")}),
      Variant());
  EXPECT_EQ(Call(document.get(), L"Protect", {Variant::I4(2), Variant(), Variant(), Variant(1)}),
            Variant::Error(E_NOTIMPL));
  EXPECT_EQ(Call(document.get(), L"Save"), Variant());
  EXPECT_EQ(CrcOf(path, "word/settings.xml"), settings);
  // A hash of the legacy forms is not checked.
  ComPtr<IDispatch> legacy = Open(CopyFixture(folder_, "protected_legacy.docx"));
  EXPECT_EQ(Call(legacy.get(), L"Unprotect", {Variant(L"secret")}), Variant::Error(E_NOTIMPL));
}

// LibreOffice relates the core properties by another spelling of the
// relationship type: a save records itself in that part and adds none.
TEST_F(WordTest, SavesIntoTheCorePropertiesPartOfEitherRelationshipType) {
  const std::string path = CopyFixture(folder_, "writer.docx");
  const uint32_t core = CrcOf(path, "docProps/core.xml");
  const size_t parts = RawEntries(path).size();
  ComPtr<IDispatch> document = Open(path);
  ASSERT_TRUE(document);
  EXPECT_EQ(Call(document.get(), L"Save"), Variant());
  EXPECT_NE(CrcOf(path, "docProps/core.xml"), core);
  EXPECT_EQ(RawEntries(path).size(), parts);
  EXPECT_EQ(Call(document.get(), L"TrackRevisions", {Variant::Bool(true)}, DISPATCH_PROPERTYPUT),
            Variant());
  EXPECT_EQ(Call(application_.get(), L"Quit", {Variant::I4(-1)}), Variant());
}

TEST_F(WordTest, TrackingAndPropertiesChangeSavedAndReachTheFile) {
  const auto title = [](IDispatch* document) {
    return Object(Object(document, L"BuiltinDocumentProperties").get(), L"Item",
                  {Variant(L"Title")});
  };
  const std::string path = CopyFixture(folder_, "tracking.docx");
  ComPtr<IDispatch> document = Open(path);
  ASSERT_TRUE(document);
  EXPECT_EQ(Call(document.get(), L"TrackRevisions"), Variant::Bool(true));
  EXPECT_EQ(Call(document.get(), L"TrackRevisions", {Variant::Bool(false)}, DISPATCH_PROPERTYPUT),
            Variant());
  EXPECT_EQ(Call(document.get(), L"Saved"), Variant::Bool(false));
  EXPECT_EQ(Call(title(document.get()).get(), L"Value", {Variant(L"Plan")}, DISPATCH_PROPERTYPUT),
            Variant());
  EXPECT_EQ(Call(application_.get(), L"Quit", {Variant::I4(-1)}), Variant());
  EXPECT_EQ(Call(application_.get(), L"Visible"), Variant::Error(RPC_E_DISCONNECTED));
  EXPECT_EQ(Call(document.get(), L"Saved"), Variant::Error(RPC_E_DISCONNECTED));

  application_ = MakeObject<Application>(office::Services{});
  ComPtr<IDispatch> reopened = Open(path);
  ASSERT_TRUE(reopened);
  EXPECT_EQ(Call(reopened.get(), L"TrackRevisions"), Variant::Bool(false));
  EXPECT_EQ(Call(title(reopened.get()).get(), L"Value"), Variant(L"Plan"));
}

TEST_F(WordTest, QuitDiscardsSavedDocumentsAndAsksAboutTheOthers) {
  const std::string path = CopyFixture(folder_, "protected_forms.docx");
  const uint32_t settings = CrcOf(path, "word/settings.xml");
  ComPtr<IDispatch> clean = Open(CopyFixture(folder_, "document.docx"));
  ComPtr<IDispatch> changed = Open(path);
  ASSERT_TRUE(clean && changed);
  EXPECT_EQ(Call(changed.get(), L"Unprotect"), Variant());
  EXPECT_EQ(Call(application_.get(), L"Quit"), Variant());
  EXPECT_EQ(prompts_, std::vector<std::string>{"protected_forms.docx"});
  EXPECT_EQ(CrcOf(path, "word/settings.xml"), settings);  // the prompt said no
}

}  // namespace
}  // namespace ovc::word
