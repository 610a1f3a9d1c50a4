#include "automation/text.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc {
namespace {

TEST(TextTest, MalformedUtf8AndNonScalarsBecomeReplacements) {
  const struct {
    std::string bytes;
    std::wstring text;
  } cases[] = {
      {"\x80", L"\uFFFD"},                      // lone continuation byte
      {"a\xC3", L"a\uFFFD"},                    // truncated at the end
      {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
      {"\xF0\x9F\x98z", L"\uFFFDz"},            // one maximal subpart
  };
  for (const auto& c : cases) EXPECT_EQ(FromUtf8(c.bytes), c.text) << c.bytes;
  const std::wstring non_scalar{L'a', static_cast<wchar_t>(0xD800), L'x',
                                static_cast<wchar_t>(0x110000)};
  EXPECT_EQ(ToUtf8(non_scalar), "a\xEF\xBF\xBDx\xEF\xBF\xBD") << "encoded as replacements";
}

TEST(TextTest, EveryEncodedLengthAfterAsciiRoundTrips) {
  const std::string bytes = "ab\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9Ez";
  const std::wstring text = L"ab\u00E9\u20AC\U0001D11Ez";
  EXPECT_EQ(ToUtf8(text), bytes);
  EXPECT_EQ(FromUtf8(bytes), text);
}

TEST(TextTest, CaseMapping) {
  EXPECT_EQ(ToUpper(L"MyName_1"), L"MYNAME_1");
  EXPECT_EQ(ToLower(L"\u00C9T\u00C9"), L"\u00E9t\u00E9");
  EXPECT_TRUE(EqualsNoCase(L"\u00C9t\u00E9_A1", L"\u00E9T\u00C9_a1"));
  EXPECT_FALSE(EqualsNoCase(L"abc", L"abcd"));
}

}  // namespace
}  // namespace ovc
