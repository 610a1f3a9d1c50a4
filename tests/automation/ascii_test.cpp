#include "automation/ascii.h"

#include <gtest/gtest.h>

namespace ovc {
namespace {

TEST(Ascii, TrimBlanksDropsSpaceTabCarriageReturnAndLineFeedOnly) {
  const struct {
    std::string_view text;
    std::string_view trimmed;
  } cases[] = {
      {" \t\r\n1 2\n\r\t ", "1 2"},
      {"", ""},
      {" \n ", ""},
      {"\v1\f", "\v1\f"},
      {"\xC2\xA0"
       "1",
       "\xC2\xA0"
       "1"},
  };
  for (const auto& each : cases) {
    EXPECT_EQ(TrimBlanks(each.text), each.trimmed);
    const std::wstring wide(each.text.begin(), each.text.end());
    const std::wstring wide_trimmed(each.trimmed.begin(), each.trimmed.end());
    EXPECT_EQ(TrimBlanks(std::wstring_view(wide)), wide_trimmed);
  }
  EXPECT_EQ(TrimBlanks(L"\u3000x\u3000"), L"\u3000x\u3000");
}

TEST(Ascii, TrimSpacesKeepsTabsAndLineBreaks) {
  EXPECT_EQ(TrimSpaces("  \t1\n  "), "\t1\n");
  EXPECT_EQ(TrimSpaces("   "), "");
}

TEST(Ascii, DigitsAndCaseFollowAsciiInEveryLocale) {
  EXPECT_TRUE(IsAsciiDigit('0') && IsAsciiDigit(L'9'));
  EXPECT_FALSE(IsAsciiDigit(L'\u0663') || IsAsciiDigit(L'\uFF11') || IsAsciiDigit('/'));
  const struct {
    std::string_view a, b;
    bool equal;
  } pairs[] = {
      {"#n/a", "#N/A", true},          {"TRUE", "true", true},   {"Metric", "METRIC", true},
      {"\xC3\xA9", "\xC3\x89", false}, {"True ", "TRUE", false}, {"@", "`", false},
  };
  for (const auto& pair : pairs) EXPECT_EQ(EqualsAsciiNoCase(pair.a, pair.b), pair.equal) << pair.a;
}

}  // namespace
}  // namespace ovc
