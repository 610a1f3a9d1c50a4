#include "orvan/format/field_formatter.h"

#include <gtest/gtest.h>

#include "automation/text.h"

namespace ovc::orvan {
namespace {

FieldFormatter Formatter() {
  return FieldFormatter({{"~", "approx.", "<", "<="}, {"max", "(est)", "%"}, {"N/A", "TBD"}});
}

TEST(FieldFormatterTest, ListsTheValidTexts) {
  FieldFormatter formatter = Formatter();
  EXPECT_EQ(formatter.prefixes(), (std::vector<std::wstring>{L"~", L"approx.", L"<", L"<="}));
  EXPECT_EQ(formatter.postfixes().size(), 3u);
  EXPECT_EQ(formatter.substitutions(), (std::vector<std::wstring>{L"N/A", L"TBD"}));
}

TEST(FieldFormatterTest, ParsesNumbersWithTheirTexts) {
  struct Case {
    const wchar_t* text;
    double number;
    const wchar_t* prefix;
    const wchar_t* postfix;
  };
  const Case cases[] = {
      {L"12.5", 12.5, L"", L""},
      {L"  -3 ", -3, L"", L""},
      {L"~12", 12, L"~", L""},
      {L"APPROX. 4e3 MAX", 4000, L"approx.", L"max"},  // texts ignore case, keep their spelling
      {L"<=5", 5, L"<=", L""},                         // the longest prefix wins
      {L"< 5", 5, L"<", L""},
      {L"50%", 50, L"", L"%"},
      {L"7 (est)", 7, L"", L"(est)"},
  };
  FieldFormatter formatter = Formatter();
  for (const Case& c : cases) {
    FieldValue value;
    Status status = formatter.ParseReal(c.text, &value);
    ASSERT_TRUE(status.ok()) << status.message();
    ASSERT_TRUE(value.number.has_value());
    EXPECT_EQ(*value.number, c.number);
    EXPECT_EQ(value.prefix, c.prefix);
    EXPECT_EQ(value.postfix, c.postfix);
    EXPECT_TRUE(value.substitution.empty());
  }
}

TEST(FieldFormatterTest, AWholeSubstitutionStandsForTheValue) {
  FieldFormatter formatter = Formatter();
  FieldValue value;
  ASSERT_TRUE(formatter.ParseReal(L" n/a ", &value).ok());
  EXPECT_EQ(value.substitution, L"N/A");
  EXPECT_FALSE(value.number.has_value());
  ASSERT_TRUE(formatter.ParseInteger(L"tbd", &value).ok());
  EXPECT_EQ(value.substitution, L"TBD");
  ASSERT_TRUE(formatter.ParseReal(L"   ", &value).ok());
  EXPECT_FALSE(value.number.has_value());
  EXPECT_TRUE(value.substitution.empty());
}

TEST(FieldFormatterTest, UnreadableTextIsAnErrorQuotingIt) {
  FieldFormatter formatter = Formatter();
  const wchar_t* bad[] = {L"abc", L"~", L"12 psi", L"N/A 3", L"about 5", L"1,5"};
  for (const wchar_t* text : bad) {
    FieldValue value;
    Status status = formatter.ParseReal(text, &value);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("'" + ToUtf8(text) + "'"), std::string::npos)
        << status.message();
  }
}

TEST(FieldFormatterTest, IntegersMustBeWholeAndWithin32Bits) {
  FieldFormatter formatter = Formatter();
  FieldValue value;
  ASSERT_TRUE(formatter.ParseInteger(L"~42 max", &value).ok());
  EXPECT_EQ(*value.number, 42);
  EXPECT_EQ(value.prefix, L"~");
  EXPECT_FALSE(formatter.ParseInteger(L"4.5", &value).ok());
  EXPECT_FALSE(formatter.ParseInteger(L"3000000000", &value).ok());
  EXPECT_TRUE(formatter.ParseReal(L"3000000000", &value).ok());
}

}  // namespace
}  // namespace ovc::orvan
