#include "automation/text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

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

// Blocks of sixteen ASCII units convert whole; a character of any other
// kind placed where a block starts, ends or is cut short by the text's end
// converts as it does alone.
TEST(TextTest, CharactersAtBlockEdgesConvertAsAlone) {
  const struct {
    std::wstring text;
    std::string bytes;
  } kinds[] = {
      {L"\u00E9", "\xC3\xA9"},
      {L"\u20AC", "\xE2\x82\xAC"},
      {L"\U0001F600", "\xF0\x9F\x98\x80"},
      {L"\x01&\r", "\x01&\r"},
      {L"", ""},
  };
  const struct {
    std::string bytes;
    std::wstring text;
  } malformed[] = {
      {"\xE2\x82", L"\uFFFD"},
      {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
  };
  for (const size_t at : {0, 7, 8, 15, 16, 32}) {
    const auto amid_ascii = [at](auto inserted) {
      decltype(inserted) whole(32, 'a');
      return whole.insert(at, inserted);
    };
    for (const auto& kind : kinds) {
      EXPECT_EQ(ToUtf8(amid_ascii(kind.text)), amid_ascii(kind.bytes)) << at;
      EXPECT_EQ(FromUtf8(amid_ascii(kind.bytes)), amid_ascii(kind.text)) << at;
    }
    EXPECT_EQ(ToUtf8(amid_ascii(std::wstring(1, static_cast<wchar_t>(0xDC00)))),
              amid_ascii(std::string("\xEF\xBF\xBD")))
        << at;
    for (const auto& bad : malformed) {
      EXPECT_EQ(FromUtf8(amid_ascii(bad.bytes)), amid_ascii(bad.text)) << at;
    }
  }
}

TEST(TextTest, CaseMapping) {
  EXPECT_EQ(ToUpper(L"MyName_1"), L"MYNAME_1");
  EXPECT_EQ(ToLower(L"\u00C9T\u00C9"), L"\u00E9t\u00E9");
  EXPECT_TRUE(EqualsNoCase(L"\u00C9t\u00E9_A1", L"\u00E9T\u00C9_a1"));
  EXPECT_FALSE(EqualsNoCase(L"abc", L"abcd"));
}

TEST(TextTest, EachTrimDropsItsOwnBlankSetOnly) {
  const struct {
    std::string_view (*trim)(std::string_view);
    std::string_view text;
    std::string_view trimmed;
  } narrow[] = {
      {TrimBlanks, " \t\r\n1 2\n\r\t ", "1 2"},
      {TrimBlanks, "", ""},
      {TrimBlanks, " \n ", ""},
      {TrimBlanks, "\v1\f", "\v1\f"},
      {TrimBlanks, "\xC2\xA0\x31", "\xC2\xA0\x31"},  // a no-break space, then 1
      {TrimSpaces, "  \t1\n  ", "\t1\n"},
      {TrimSpaces, "   ", ""},
  };
  for (const auto& each : narrow) EXPECT_EQ(each.trim(each.text), each.trimmed) << each.text;
  const struct {
    std::wstring_view (*trim)(std::wstring_view);
    std::wstring_view text;
    std::wstring_view trimmed;
  } wide[] = {
      {TrimBlanks, L" \t\r\n1 2\n\r\t ", L"1 2"},
      {TrimBlanks, L"\u3000x\u3000", L"\u3000x\u3000"},
      {TrimBlanksAndFeeds, L" \t\r\n\v\fx y\f\v\n\r\t ", L"x y"},
      {TrimBlanksAndFeeds, L"\u3000x\u00A0", L"\u3000x\u00A0"},
      {TrimSpacesAndTabs, L" \t\r\nx y\n\r\t ", L"\r\nx y\n\r"},
      {TrimSpacesAndTabs, L"\t \t", L""},
  };
  for (const auto& each : wide) EXPECT_EQ(each.trim(each.text), each.trimmed);
}

TEST(TextTest, DigitsAndCaseFollowAsciiInEveryLocale) {
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
  EXPECT_EQ(AsciiUpper("az@[`{\xC3\xA9"), "AZ@[`{\xC3\xA9");
}

TEST(TextTest, HexDigitsAreAsciiOnly) {
  const struct {
    wchar_t c;
    int value;
  } cases[] = {
      {L'0', 0},  {L'9', 9},  {L'a', 10}, {L'f', 15}, {L'A', 10}, {L'F', 15},      {L'/', -1},
      {L':', -1}, {L'@', -1}, {L'G', -1}, {L'`', -1}, {L'g', -1}, {L'\uFF10', -1},
  };
  for (const auto& each : cases) {
    EXPECT_EQ(HexDigitValue(each.c), each.value) << int(each.c);
    if (each.c < 0x80) {
      EXPECT_EQ(HexDigitValue(static_cast<char>(each.c)), each.value);
    }
  }
}

}  // namespace
}  // namespace ovc
