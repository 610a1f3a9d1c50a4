#include "office/word/form_field_value.h"

#include <gtest/gtest.h>

namespace ovc::word {
namespace {

TEST(FormFieldValueTest, ReadsCheckBoxesAndDropDowns) {
  FormFieldData data;
  EXPECT_EQ(CheckBoxResult(data), L"0");
  data.checked = true;
  EXPECT_EQ(CheckBoxResult(data), L"1");
  EXPECT_EQ(DropDownResult(data), L"");
  data.entries = {L"Red", L"Green"};
  data.selected = 1;
  EXPECT_EQ(DropDownResult(data), L"Green");
  data.selected = 7;  // a damaged file: the first entry
  EXPECT_EQ(DropDownResult(data), L"Red");
}

TEST(FormFieldValueTest, ParsesCheckBoxTexts) {
  const struct {
    std::wstring_view text;
    std::optional<bool> checked;
  } cases[] = {{L"1", true}, {L"0", false}, {L"TRUE", true}, {L"false", false},
               {L"yes", {}}, {L" 1", {}},   {L"", {}},       {L"-1", {}}};
  for (const auto& c : cases) EXPECT_EQ(ParseCheckBox(c.text), c.checked) << c.text.data();
}

TEST(FormFieldValueTest, FindsListEntriesExactThenUniquelyWithoutCase) {
  FormFieldData data;
  data.entries = {L"Red", L"Green", L"Blue", L"blue"};
  const struct {
    std::wstring_view text;
    int32_t index;
  } cases[] = {{L"Blue", 2},  {L"blue", 3},    {L"GREEN", 1},
               {L"BLUE", -1}, {L"Purple", -1}, {L"", -1}};
  for (const auto& c : cases) EXPECT_EQ(FindListEntry(data, c.text), c.index) << c.text.data();
}

TEST(FormFieldValueTest, RefusesTextsTooLongAndStoresTheEmptyOneAsEnSpaces) {
  FormFieldData data;
  const std::wstring pair = L"\U0001D11E";  // two UTF-16 units
  const struct {
    std::wstring text;
    int32_t max_length;
    bool accepted;
  } cases[] = {
      {std::wstring(255, L'x'), 0, true},
      {std::wstring(256, L'x'), 0, false},
      {std::wstring(253, L'x') + pair, 0, true},
      {std::wstring(254, L'x') + pair, 0, false},
      {L"abcde", 5, true},
      {L"abcdef", 5, false},
  };
  for (const auto& c : cases) {
    data.max_length = c.max_length;
    std::wstring stored;
    std::string reason;
    EXPECT_EQ(PrepareTextResult(c.text, data, &stored, &reason), c.accepted) << c.text.size();
    EXPECT_EQ(stored, c.accepted ? c.text : L"");
    EXPECT_EQ(reason.empty(), c.accepted) << reason;
  }
  std::wstring stored;
  std::string reason;
  ASSERT_TRUE(PrepareTextResult(L"", data, &stored, &reason));
  EXPECT_EQ(stored, L"\u2002\u2002\u2002\u2002\u2002");
}

TEST(FormFieldValueTest, LockedWhenDisabledOrNotEnabledUnderFormsProtection) {
  const struct {
    std::optional<bool> enabled;
    bool protected_for_forms;
    bool locked;
  } cases[] = {{true, true, false},
               {false, false, true},
               {std::nullopt, false, false},
               {std::nullopt, true, true}};
  for (const auto& c : cases) {
    FormFieldData data;
    data.enabled = c.enabled;
    EXPECT_EQ(IsFormFieldLocked(data, c.protected_for_forms), c.locked);
  }
}

}  // namespace
}  // namespace ovc::word
