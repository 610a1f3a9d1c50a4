#include "ovcbridgesvcs/links/value_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/automation/decimal_comma_locale.h"
#include "tests/ovcbridgesvcs/links/link_testing.h"

namespace ovc::links {
namespace {

using testing::DateOf;
using testing::FakeLinkFacts;
using testing::Vector;

Variant Text(const wchar_t* text) { return Variant(text); }

struct FormatTexts {
  Variant prefix;
  Variant postfix;
  Variant substitution;
};

Variant Publish(const Variant& value, std::wstring_view format, const FormatTexts& texts = {},
                FakeLinkFacts facts = {},
                const std::optional<NumberLayout>& layout = NumberLayout{}) {
  Variant out;
  EXPECT_EQ(PublishValue(value, format, texts.prefix, texts.postfix, texts.substitution, false,
                         true, facts, layout, &out),
            S_OK);
  return out;
}

struct FormatCase {
  const wchar_t* format;
  Variant value;
  Variant expected;  // the value itself when the template gives no text
};

TEST(PublishValueTest, TemplatesGiveTheirTexts) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<FormatCase> cases = {
      {L"/!Number(%+08.1f%%)!/", Variant(12.34), Text(L"+00012.3%")},
      {L"/!NumberFmt(1)!/", Variant(1234.56), Text(L"1,234.6")},
      {L"/!NumberFmt(-1)!/", Variant(0.5), Text(L"0.50000000000000000")},
      {L"/!NumberFmt(x)!/", Variant(999.5), Text(L"1,000")},
      {L"/!Percent(1)!/", Variant(0.1234), Text(L"12.3%")},
      {L"/!Percent(-1)!/", Variant(0.1234), Variant(0.1234)},
      {L"/!Magnitude(3)!/", Variant(123.456), Text(L"123")},
      {L"/!Magnitude(3)!/", Variant(1234567.0), Text(L"1,230,000")},
      {L"/!Magnitude(3)!/", Variant(0.0), Text(L"0")},
      {L"/!Magnitude(3)!/", Variant(inf), Variant(inf)},
      {L"/!Magnitude(99)!/", Variant(1.0 / 3), Text(L"0.33333333333333331")},
      {L"/!IntegerFmt(0)!/", Variant(1234), Text(L"1,234")},
      {L"/!IntegerFmt(0)!/", Variant(-42), Text(L"(42)")},
      {L"/!IntegerFmt(2)!/", Variant(0), Text(L".00")},
      {L"/!Integer!/ items", Variant(-7), Text(L"-7 items")},
      {L"/!IntegerFmt!/", Variant(7), Variant(7)},
      {L"/!Number(%G)!/", Text(L"as is"), Text(L"as is")},
      {L"/!number(%G)!/", Variant(5.0), Variant(5.0)},
      {L"/!Bool(\"Yes\", \"No\", \"-\")!/", Variant(true), Text(L"Yes")},
      {L"/!Bool(\"Yes\", \"No\", \"-\")!/", Variant(), Text(L"-")},
      {L"/!Bool(\"Yes\", \"No\")!/", Variant(true), Variant(true)},
      {L"/!Date(%a %d %b %Y %H:%M)!/", DateOf(2020, 12, 25, 13), Text(L"Fri 25 Dec 2020 00:00")},
      {L"/!Date(%Y)!/", Variant(5.0), Variant(5.0)},
      {L"/!AttName! = /!Number(%G)!/", Variant(5.0), Variant(5.0)},
      {L"/!AttName!/ = /!Number(%G)!/", Variant(5.0), Text(L"Flow = 5")},
      {L"/!Case!/", Variant(5.0), Variant(5.0)},
      {L"/!Row!//!Number(%G)!/", Variant(5.0), Text(L"5")},
      {L"/!Number(%G):Unit!/", Variant(5.0), Text(L"5 kPa")},
      {L"/!UnitDefault:Unit!/", Variant(5.0), Text(L"5 kPa")},
      {L"a /!Number(%G)", Variant(5.0), Text(L"a /!Number(%G)")},
      {L"x!/ /!Number(%G)!/ /!y", Variant(5.0), Text(L"x!/ 5 /!y")},
      {L"/!Number(%G!/", Variant(5.0), Variant(5.0)},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(Publish(c.value, c.format), c.expected) << c.format;
  }
}

TEST(PublishValueTest, NumbersAndNamesAreTheSameInEveryLocale) {
  OVC_IN_DECIMAL_COMMA_LOCALE(locale);
  const FormatCase cases[] = {
      {L"/!Date(%a %A %b %B %p)!/", DateOf(2020, 12, 25, 13), Text(L"Fri Friday Dec December AM")},
      {L"/!Number(%.2f)!/", Variant(1234.5), Text(L"1234.50")},
      {L"/!Magnitude(2)!/", Variant(1234.5), Text(L"1,200")},
      // An em space is white space to the C library in most locales but not
      // in the "C" one: the count is no number, whatever the locale.
      {L"/!Magnitude(\u2003 2)!/", Variant(1234.5), Text(L"1,000")},
  };
  for (const FormatCase& c : cases) EXPECT_EQ(Publish(c.value, c.format), c.expected) << c.format;
}

TEST(PublishValueTest, HostileConversionsProduceNothing) {
  for (const wchar_t* format :
       {L"/!Number(%s)!/", L"/!Number(%n)!/", L"/!Number(%999999f)!/", L"/!Number(%.99f)!/",
        L"/!Number(%*f)!/", L"/!Number(%f %f)!/", L"/!Number(%Lf)!/", L"/!Number(%+-#0 -f)!/",
        L"/!Number(text)!/", L"/!Number(%)!/"}) {
    EXPECT_EQ(Publish(Variant(1.5), format), Variant(1.5)) << format;
  }
  const Variant date = DateOf(2020, 12, 25);
  for (const wchar_t* format : {L"/!Date(%Ez)!/", L"/!Date(%s)!/", L"/!Date(%c)!/", L"/!Date(%Z)!/",
                                L"/!Date(%Y%)!/", L"/!Date()!/"}) {
    EXPECT_EQ(Publish(date, format), date) << format;
  }
  EXPECT_EQ(Publish(date, L"/!Date(" + std::wstring(512, L'x') + L")!/"),
            Text(std::wstring(512, L'x').c_str()));
  EXPECT_EQ(Publish(date, L"/!Date(" + std::wstring(513, L'x') + L")!/"), date);
}

TEST(PublishValueTest, DescriptiveTextsFrameTheNumber) {
  const FormatTexts texts{Text(L"P"), Text(L"Q"), Variant()};
  EXPECT_EQ(Publish(Variant(1.5), L"/!NumberFmt(2):DescrText!/", texts), Text(L"P 1.50 Q"));
  EXPECT_EQ(Publish(Variant(3), L"/!Integer:DescrText!/", texts), Text(L"P 3 Q"));
  EXPECT_EQ(Publish(Variant(1.5), L"/!Prefix!/|/!Postfix!/|/!Substitution!/", texts),
            Text(L"P|Q|"));
  const FormatTexts substituted{Text(L"P"), Text(L"Q"), Text(L"n/a")};
  for (const Variant& value : {Variant(1.5), Variant(), Variant(3)}) {
    EXPECT_EQ(Publish(value, L"/!NumberFmt(2):DescrText!/", substituted), Text(L"n/a"));
  }
  const FormatTexts not_texts{Variant(1.0), Variant(2.0), Variant(3.0)};
  EXPECT_EQ(Publish(Variant(1.5), L"/!Number(%G):DescrText!/", not_texts), Text(L"1.5"));
}

TEST(PublishValueTest, UnitsAndLayoutComeFromTheLinkAndTheUser) {
  FakeLinkFacts no_quantity;
  no_quantity.has_quantity_type = false;
  EXPECT_EQ(Publish(Variant(5.0), L"/!Number(%G):Unit!/", {}, no_quantity), Text(L"5"));

  FakeLinkFacts two_decimals;
  two_decimals.unit_default_format = L"/!NumberFmt(2)!/ ignored";
  EXPECT_EQ(Publish(Variant(3.14159), L"/!UnitDefault:Unit!/", {}, two_decimals),
            Text(L"3.14 kPa"));

  const NumberLayout german{L",", L".", DateOrder::kDayMonthYear};
  EXPECT_EQ(Publish(Variant(1234.5), L"/!NumberFmt(2)!/", {}, {}, german), Text(L"1.234,50"));
  EXPECT_EQ(Publish(Variant(-1234), L"/!IntegerFmt(1)!/", {}, {}, german), Text(L"(1,234.0)"));
  EXPECT_EQ(Publish(Variant(1234.5), L"/!NumberFmt(2)!/", {}, {}, std::nullopt), Variant(1234.5));
  EXPECT_EQ(Publish(Variant(5.0), L"/!Number(%G):Unit!/", {}, {}, std::nullopt), Text(L"5"));
}

TEST(PublishValueTest, ArraysPublishElementByElement) {
  const Variant values = Vector({Variant(1.0), Text(L"x"), Variant(2.5)});
  const FormatTexts texts{Vector({Text(L"P")}), Variant(),
                          Vector({Variant(), Variant(), Text(L"S")})};
  EXPECT_EQ(Publish(values, L"/!Number(%.1f):DescrText!/", texts),
            Vector({Text(L"P 1.0"), Text(L""), Text(L"S")}));
  EXPECT_EQ(Publish(values, L"/!AttName!/ /!Number(%G)!/"), Text(L"Flow 1"));
  EXPECT_EQ(Publish(Vector({}), L"/!Number(%G)!/"), Vector({}));
}

TEST(PublishValueTest, WithoutTemplateTheValueOrItsText) {
  FakeLinkFacts facts;
  const std::optional<NumberLayout> layout = NumberLayout{};
  const Variant values = Vector({Variant(1.5), Variant(true), Variant()});
  struct Case {
    Variant value;
    const wchar_t* format;
    bool string_only;
    bool apply_format;
    Variant expected;
  };
  const std::vector<Case> cases = {
      {Variant(true), L"/!Row!/", true, true, Text(L"True")},
      {values, L"", true, true, Vector({Text(L"1.5"), Text(L"True"), Text(L"")})},
      {values, L"/!Number(%G)!/", true, false, Vector({Text(L"1.5"), Text(L"True"), Text(L"")})},
      {Variant(1.5), L"/!Row!/", false, true, Variant(1.5)},
      {Variant(1.5), L"/!ValidPrefixes!/", false, false, Text(L"prefixes")},
      {Variant(1.5), L"/!ValidSubstitutions!/", true, true, Text(L"others")},
  };
  for (const Case& c : cases) {
    Variant out;
    EXPECT_EQ(PublishValue(c.value, c.format, {}, {}, {}, c.string_only, c.apply_format, facts,
                           layout, &out),
              S_OK);
    EXPECT_EQ(out, c.expected) << c.format;
  }
  Variant out(1.0);
  EXPECT_EQ(PublishValue(Variant::Null(), L"", {}, {}, {}, true, false, facts, layout, &out),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(out, Variant(1.0));
}

TEST(PublishValueTest, EnormousTemplatesStayLinear) {
  std::wstring format;
  for (int i = 0; i < 40000; ++i) format += L"/!Number(%G)!/,";
  format += std::wstring(400000, L'/');
  const Variant out = Publish(Variant(1.0), format);
  ASSERT_EQ(out.vt(), VT_BSTR);
  EXPECT_EQ(out.bstr().size(), 80000u + 400000u);
}

}  // namespace
}  // namespace ovc::links
