#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/office/word/word_automation.h"

namespace ovc::word {
namespace {

using office::testing::CopyFixture;
using testing::BookmarkRange;
using testing::Call;
using testing::Object;
using testing::WordTest;

class FormFieldsTest : public WordTest {
 protected:
  // The form fields of a bookmark's range, through the Selection.
  ComPtr<IDispatch> FieldsOf(IDispatch* document, const wchar_t* bookmark) {
    EXPECT_EQ(Call(BookmarkRange(document, bookmark).get(), L"Select", {}, DISPATCH_METHOD),
              Variant());
    return Object(Selection().get(), L"FormFields");
  }
  ComPtr<IDispatch> Field(IDispatch* document, const wchar_t* name) {
    return Object(FieldsOf(document, name).get(), L"Item", {Variant::I4(1)});
  }
  HRESULT Put(IDispatch* field, const std::wstring& value, std::string* description) {
    EXCEPINFO error;
    const HRESULT hr =
        CallByName(field, L"Result", DISPATCH_PROPERTYPUT, {Variant(value)}, nullptr, &error);
    *description = ToUtf8(error.description);
    return hr;
  }
};

TEST_F(FormFieldsTest, ItemsByPositionOrNameAndBadIndexes) {
  ComPtr<IDispatch> document = Open(CopyFixture(folder_, "fields.docx"));
  ComPtr<IDispatch> pair = FieldsOf(document.get(), L"TwoFields");
  EXPECT_EQ(Call(pair.get(), L"Count"), Variant::I4(2));
  const struct {
    Variant index;
    Variant name;
  } cases[] = {
      {Variant::I4(2), Variant(L"PairB")},
      {Variant(L"pairA"), Variant(L"PairA")},
      {Variant::I4(3), Variant::Error(DISP_E_BADINDEX)},
      {Variant(L"Text1"), Variant::Error(DISP_E_BADINDEX)},
      {Variant::Bool(true), Variant::Error(DISP_E_BADINDEX)},
  };
  for (const auto& c : cases) {
    const Variant item = Call(pair.get(), L"Item", {c.index});
    EXPECT_EQ(item.vt() == VT_DISPATCH ? Call(item.dispatch(), L"Name") : item, c.name);
  }
  EXPECT_EQ(Call(FieldsOf(document.get(), L"NoField").get(), L"Count"), Variant::I4(0));
}

TEST_F(FormFieldsTest, LockedFieldsProtectionAndBadValuesRefuseWrites) {
  const struct {
    const char* fixture;
    const wchar_t* field;
    const wchar_t* put;
    bool locked;
    HRESULT status;
    const char* description;  // of the failure; "" on success
  } cases[] = {
      {"fields.docx", L"Text1", L"typed", false, S_OK, ""},
      {"fields.docx", L"NotEnabled", L"typed", false, S_OK, ""},
      {"fields.docx", L"Disabled", L"typed", true, E_ACCESSDENIED,
       "fields.docx: form field 'Disabled': is locked"},
      {"fields.docx", L"Short", L"123456", false, E_INVALIDARG,
       "fields.docx: form field 'Short': text of 6 characters is longer than the field's maximum "
       "length of 5"},
      {"fields.docx", L"Drop1", L"Purple", false, E_INVALIDARG,
       "fields.docx: form field 'Drop1': 'Purple' is not one of the listed entries"},
      {"protected_forms.docx", L"Text1", L"typed", false, S_OK, ""},
      {"protected_forms.docx", L"NotEnabled", L"typed", true, E_ACCESSDENIED,
       "protected_forms.docx: form field 'NotEnabled': is locked"},
      {"protected_password.docx", L"Check1", L"0", false, S_OK, ""},
      {"protected_legacy.docx", L"Text1", L"typed", false, E_ACCESSDENIED,
       "protected_legacy.docx: form field 'Text1': the document is protected"},
      {"tracking.docx", L"Text1", L"typed", false, E_ACCESSDENIED,
       "tracking.docx: form field 'Text1': document tracks revisions"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.fixture) + " " + ToUtf8(c.field));
    ComPtr<IDispatch> document = Open(CopyFixture(folder_, c.fixture));
    ComPtr<IDispatch> field = Field(document.get(), c.field);
    ASSERT_TRUE(field);
    EXPECT_EQ(Call(field.get(), L"Locked"), Variant::Bool(c.locked));
    const Variant before = Call(field.get(), L"Result");
    std::string description;
    EXPECT_EQ(Put(field.get(), c.put, &description), c.status);
    EXPECT_EQ(description, c.description);
    EXPECT_EQ(Call(field.get(), L"Result"), Succeeded(c.status) ? Variant(c.put) : before);
    EXPECT_EQ(Call(document.get(), L"Saved"), Variant::Bool(Failed(c.status)));
    ASSERT_EQ(Call(document.get(), L"Close", {Variant::Bool(false)}, DISPATCH_METHOD), Variant());
    EXPECT_EQ(Call(field.get(), L"Result"), Variant::Error(RPC_E_DISCONNECTED));
  }
}

TEST_F(FormFieldsTest, ResultsAcceptedAndRefusedByKind) {
  ComPtr<IDispatch> document = Open(CopyFixture(folder_, "fields.docx"));
  const std::wstring full(255, L'x');
  const struct {
    const wchar_t* name;
    std::wstring put;
    HRESULT status;
    std::wstring result;  // read back afterwards
  } cases[] = {
      {L"Text1", full, S_OK, full},
      {L"Text1", full + L"x", E_INVALIDARG, full},
      // 255 characters, but 256 UTF-16 units
      {L"Text1", std::wstring(254, L'x') + L"\U0001D11E", E_INVALIDARG, full},
      {L"Text1", L"bad\x01", E_INVALIDARG, full},
      {L"Short", L"12345", S_OK, L"12345"},
      {L"Check2", L"yes", E_INVALIDARG, L"1"},
      {L"Drop1", L"green", S_OK, L"Green"},
      {L"Drop1", L"BLUE", E_INVALIDARG, L"Green"},  // "Blue" and "blue" both match
      {L"Drop3", L"blue", S_OK, L"blue"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name) + " <- " + ToUtf8(c.put));
    ComPtr<IDispatch> field = Field(document.get(), c.name);
    std::string description;
    EXPECT_EQ(Put(field.get(), c.put, &description), c.status) << description;
    EXPECT_EQ(Call(field.get(), L"Result"), Variant(c.result));
  }
}

TEST_F(FormFieldsTest, AFieldFollowsTheEditsBeforeIt) {
  ComPtr<IDispatch> document = Open(CopyFixture(folder_, "fields.docx"));
  ComPtr<IDispatch> check = Field(document.get(), L"Check2");
  ASSERT_EQ(CallByName(BookmarkRange(document.get(), L"NoField").get(), L"Text",
                       DISPATCH_PROPERTYPUT, {Variant(L"a much longer plain text")}),
            S_OK);
  EXPECT_EQ(Call(check.get(), L"Name"), Variant(L"Check2"));
  std::string description;
  EXPECT_EQ(Put(check.get(), L"False", &description), S_OK) << description;
  EXPECT_EQ(Call(Field(document.get(), L"Check2").get(), L"Result"), Variant(L"0"));
}

}  // namespace
}  // namespace ovc::word
