#include "orvan/format/field_formatter.h"

#include <gtest/gtest.h>

#include "automation/text.h"

namespace ovc::orvan {
namespace {

FieldFormatter Formatter() {
  return FieldFormatter({{"~", "approx.", "<", "<="}, {"max", "(est)", "%"}, {"N/A", "TBD"}});
}

TEST(FieldFormatterTest, SplitsATextIntoItsNumberAndDescriptiveTexts) {
  struct Case {
    bool integer;
    const wchar_t* text;
    std::optional<double> number;
    const wchar_t* prefix;
    const wchar_t* postfix;
    const wchar_t* substitution;
  };
  const Case cases[] = {
      {false, L"APPROX. 4e3 MAX", 4000, L"approx.", L"max", L""},  // ignoring case, as defined
      {false, L"<=5", 5, L"<=", L"", L""},                         // the longest prefix wins
      {false, L"50%", 50, L"", L"%", L""},
      {false, L" n/a ", std::nullopt, L"", L"", L"N/A"},
      {false, L"   ", std::nullopt, L"", L"", L""},
      {false, L"3000000000", 3e9, L"", L"", L""},
      {true, L"~42 max", 42, L"~", L"max", L""},
      {true, L"tbd", std::nullopt, L"", L"", L"TBD"},
  };
  FieldFormatter formatter = Formatter();
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    FieldValue value;
    Status status =
        c.integer ? formatter.ParseInteger(c.text, &value) : formatter.ParseReal(c.text, &value);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(value.number, c.number);
    EXPECT_EQ(value.prefix, c.prefix);
    EXPECT_EQ(value.postfix, c.postfix);
    EXPECT_EQ(value.substitution, c.substitution);
  }
}

TEST(FieldFormatterTest, UnreadableTextIsAnErrorQuotingIt) {
  struct Case {
    bool integer;
    const wchar_t* text;
  };
  const Case cases[] = {{false, L"abc"}, {false, L"~"},  {false, L"12 psi"},   {false, L"N/A 3"},
                        {false, L"1,5"}, {true, L"4.5"}, {true, L"3000000000"}};
  FieldFormatter formatter = Formatter();
  for (const Case& c : cases) {
    FieldValue value;
    Status status =
        c.integer ? formatter.ParseInteger(c.text, &value) : formatter.ParseReal(c.text, &value);
    EXPECT_FALSE(status.ok()) << ToUtf8(c.text);
    EXPECT_NE(status.message().find("'" + ToUtf8(c.text) + "'"), std::string::npos)
        << status.message();
  }
}

}  // namespace
}  // namespace ovc::orvan
