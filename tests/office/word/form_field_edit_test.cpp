#include "office/word/form_field_edit.h"

#include <string>

#include <gtest/gtest.h>

#include "automation/text.h"
#include "office/word/word_document.h"
#include "tests/office/office_test_support.h"

namespace ovc::word {
namespace {

using office::testing::CopyFixture;
using office::testing::TempDir;

class FormFieldEditTest : public ::testing::Test {
 protected:
  FormFieldEditTest() {
    std::string error;
    HRESULT code = S_OK;
    document_ = WordDocument::Open(CopyFixture(dir_, "fields.docx"), {}, &error, &code);
    EXPECT_NE(document_, nullptr) << error;
  }

  // The form field named `name` in the whole body.
  FieldInfo Field(const std::wstring& name) {
    for (const FieldInfo& field : FormFieldsIn(*document_, Body())) {
      if (FormFieldName(field) == name) return field;
    }
    ADD_FAILURE() << "no form field " << ToUtf8(name);
    return {};
  }
  TextSpan Body() { return {0, 0, document_->story_length(0)}; }
  std::wstring Result(const std::wstring& name) {
    return ReadFormFieldResult(*document_, Field(name));
  }

  TempDir dir_;
  std::unique_ptr<WordDocument> document_;
};

TEST_F(FormFieldEditTest, WritesAcceptedAndRefused) {
  const struct {
    const wchar_t* name;
    std::wstring put;
    HRESULT status;
    std::wstring result;  // read back afterwards
  } cases[] = {
      {L"Text1", L"New value", S_OK, L"New value"},
      {L"Text1", L"", S_OK, L"\u2002\u2002\u2002\u2002\u2002"},
      {L"Text1", std::wstring(255, L'x'), S_OK, std::wstring(255, L'x')},
      {L"Text1", std::wstring(256, L'x'), E_INVALIDARG, std::wstring(255, L'x')},
      {L"Text1", L"bad\x01", E_INVALIDARG, std::wstring(255, L'x')},
      {L"Short", L"12345", S_OK, L"12345"},
      {L"Short", L"123456", E_INVALIDARG, L"12345"},
      {L"Check1", L"false", S_OK, L"0"},
      {L"Check1", L"TRUE", S_OK, L"1"},
      {L"Check2", L"0", S_OK, L"0"},
      {L"Check2", L"yes", E_INVALIDARG, L"0"},
      {L"Drop1", L"Red", S_OK, L"Red"},
      {L"Drop1", L"green", S_OK, L"Green"},
      {L"Drop1", L"BLUE", E_INVALIDARG, L"Green"},  // "Blue" and "blue" both match
      {L"Drop1", L"Purple", E_INVALIDARG, L"Green"},
      {L"Drop3", L"blue", S_OK, L"blue"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name) + " <- " + ToUtf8(c.put));
    std::string reason;
    EXPECT_EQ(WriteFormFieldResult(*document_, Field(c.name), c.put, &reason), c.status);
    EXPECT_EQ(reason.empty(), c.status == S_OK) << reason;
    EXPECT_EQ(ToUtf8(Result(c.name)), ToUtf8(c.result));
  }
}

}  // namespace
}  // namespace ovc::word
