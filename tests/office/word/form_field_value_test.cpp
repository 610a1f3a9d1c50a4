#include "office/word/form_field_value.h"

#include <gtest/gtest.h>

namespace ovc::word {
namespace {

TEST(FormFieldValueTest, ADamagedSelectionShowsTheFirstEntry) {
  FormFieldData data;
  EXPECT_EQ(DropDownResult(data), L"");
  data.entries = {L"Red", L"Green"};
  data.selected = 7;
  EXPECT_EQ(DropDownResult(data), L"Red");
}

TEST(FormFieldValueTest, TextLengthCountsUtf16Units) {
  FormFieldData data;
  const std::wstring pair = L"\U0001D11E";
  std::wstring stored;
  std::string reason;
  EXPECT_TRUE(PrepareTextResult(std::wstring(253, L'x') + pair, data, &stored, &reason));
  EXPECT_FALSE(PrepareTextResult(std::wstring(254, L'x') + pair, data, &stored, &reason));
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace ovc::word
