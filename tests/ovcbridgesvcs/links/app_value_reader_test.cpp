#include "ovcbridgesvcs/links/app_value_reader.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "automation/conversion.h"
#include "automation/error_info.h"
#include "tests/ovcbridgesvcs/links/link_testing.h"

namespace ovc::links {
namespace {

using testing::DateOf;
using testing::Vector;

constexpr std::wstring_view kHead = L"Book.xlsx(Case: Design) ";

HRESULT Raise(HRESULT code, const wchar_t* description) {
  SetErrorInfo(CreateErrorInfo(description, L"test"));
  return code;
}

// A Link with a host field formatter that reads "~" before a number as a
// prefix, " max" after it as a postfix and "n/a" as a substitution.
class FakeLink final : public ReadableLink {
 public:
  Variant raw;
  VARTYPE orvan_type = VT_EMPTY;
  std::wstring format;
  std::wstring attribute_type;  // empty: no attribute
  bool has_formatter = true;
  Variant app_value;
  std::map<DescriptiveKind, Variant> descriptive;
  std::map<ReadFlag, bool> flags;
  bool error = false;
  std::wstring status;

  const Variant& RawAppValue() override { return raw; }
  void SetRawAppValue(Variant value) override { raw = std::move(value); }
  VARTYPE OrvanValueType() override { return orvan_type; }
  std::wstring ReadFormat() override { return format; }
  std::wstring ReadLocation() override { return L"B1"; }
  std::wstring CaseResolvedName() override { return L"Design"; }
  HRESULT PutAppValue(const Variant& value) override {
    if (value.vt() != VT_BSTR || attribute_type != L"Real") {
      app_value = value;
      return S_OK;
    }
    const bool number = Succeeded(VariantChangeType(&app_value, value, 0, VT_R8));
    return number ? S_OK : Raise(DISP_E_TYPEMISMATCH, L"Type mismatch.");
  }
  void StoreAppValue(Variant value) override { app_value = std::move(value); }
  Variant Descriptive(DescriptiveKind kind) override { return descriptive[kind]; }
  void SetDescriptive(DescriptiveKind kind, Variant text) override {
    descriptive[kind] = std::move(text);
  }
  bool Flag(ReadFlag flag) override { return flags[flag]; }
  void SetFlag(ReadFlag flag) override { flags[flag] = true; }
  void SetError() override { error = true; }
  void AppendStatus(std::wstring_view line) override { status.append(line).append(L"\r\n"); }
  void ResetLinkFormatData() override {
    for (DescriptiveKind kind :
         {DescriptiveKind::kPrefix, DescriptiveKind::kPostfix, DescriptiveKind::kSubstitution}) {
      descriptive[kind] = Variant(L"");
    }
  }
  bool HasAttribute() override { return !attribute_type.empty(); }
  HRESULT SetDataModelSvcs() override { return S_OK; }
  std::wstring AttributeType() override { return attribute_type; }
  HRESULT ParseField(std::wstring_view text, bool integer, FieldParse* parse) override {
    if (!has_formatter) return Raise(E_POINTER, L"No field formatter.");
    if (text == L"n/a") {
      parse->value = Variant(0.0);  // beside a substitution, a number is not read
      parse->substitution = text;
      return S_OK;
    }
    if (text.starts_with(L"~")) parse->prefix = L"~";
    if (text.ends_with(L" max")) parse->postfix = L"max";
    text.remove_prefix(parse->prefix.size());
    text.remove_suffix(parse->postfix.empty() ? 0 : 4);
    double number = 0;
    if (!ParseDouble(text, &number)) return Raise(E_INVALIDARG, L"Not a number.");
    parse->value = integer ? Variant(static_cast<int32_t>(number)) : Variant(number);
    return S_OK;
  }
};

std::wstring Line(std::wstring_view text) {
  return std::wstring(kHead) + std::wstring(text) + L"\r\n";
}

void Convert(FakeLink& link, testing::FakeLinkFacts facts = {}) {
  ConvertAppValue(link, L"Book.xlsx", facts, NumberLayout{});
}

// A FakeLink with the read format, raw value and attribute type given,
// converted once.
FakeLink Converted(std::wstring format, Variant raw, std::wstring type = L"",
                   const testing::FakeLinkFacts& facts = {}) {
  FakeLink link;
  link.format = std::move(format);
  link.raw = std::move(raw);
  link.attribute_type = std::move(type);
  Convert(link, facts);
  return link;
}

struct ReadCase {
  std::wstring format;
  Variant raw;
  std::wstring attribute_type;
  Variant expected;  // AppValue afterwards
  std::wstring status;
  bool error;
};

const std::wstring kYesNo = L"/!Bool(\"Yes\",\"No\",\"\")!/";

TEST(ConvertAppValueTest, ReadersGiveValuesAndStatusLines) {
  const std::vector<ReadCase> cases = {
      {L"", Variant(1.5), L"Real", Variant(1.5), Line(L":  Value Read From \"B1\""), false},
      {L"", Variant(L"~7 max"), L"Integer", Variant(7),
       Line(L":  Prefix/Postfix/Value Read From \"B1\""), false},
      {L"", Variant(L"n/a"), L"Real", Variant(), Line(L":  Value (substitute) Read From \"B1\""),
       false},
      {L"", Variant(L"abc"), L"Real", Variant(),
       Line(L"Error: Not a number. occurred during processing read location \"B1\""), true},
      {L"", Variant(L"  Open \t"), L"Enum", Variant(L"Open"), Line(L":  Value Read From \"B1\""),
       false},
      {L"", Vector({Variant(L" a "), Variant(2.0)}), L"Enum",
       Vector({Variant(L"a"), Variant(L"2")}), Line(L":  Value Read From \"B1\""), false},
      {L"/!Number(%G)!/", Variant(L"1"), L"Real", Variant(),
       Line(L"Error, cannot interpret format \"/!Number(%G)!/\"  Location: \"B1\""), true},
      {kYesNo, Variant(L"NO"), L"Bool", Variant(false), Line(L":  Boolean value read from \"B1\""),
       false},
      {kYesNo, Variant(L"maybe"), L"Bool", Variant(),
       Line(L"Unrecognized boolean value \"maybe\" at read location \"B1\""), true},
      {kYesNo, Variant(2.0), L"Bool", Variant(),
       Line(L"\r\nError!  Application value must be a string to use boolean format at "
            L"location: B1"),
       true},
      {L"/!Bool(\"Yes\",\"No\")!/", Variant(L"Yes"), L"Bool", Variant(),
       Line(L"\r\nError interpreting boolean format \"/!Bool(\"Yes\",\"No\")!/\"  Location: B1"),
       true},
      {kYesNo, Vector({Variant(L"Yes"), Variant(true), Variant()}), L"Bool",
       Vector({Variant(true), Variant(true), Variant()}),
       Line(L":  Vector of boolean values read from \"B1\""), false},
      {kYesNo, Vector({Variant(L"x"), Variant(1.0)}), L"Bool", Variant(),
       Line(L"Error:  Unrecognized boolean value \"x\" in vector at read location \"B1\"") +
           Line(L"Error:  Data type is not string or boolean in vector at read location \"B1\""),
       true},
      {L"/!Date(%d.%m.%Y)!/", Variant(L"25.12.2020"), L"Date", DateOf(2020, 12, 25),
       Line(L":  Date value read from \"B1\""), false},
      {L"/!Date(%d.%m.%Y)!/", Variant(L"31.02.2020"), L"Date", Variant(),
       Line(L"Unrecognized date value \"31.02.2020\" at read location \"B1\""), true},
      {L"/!Date(%d.%m.%Y)!/", Variant(std::wstring(256, L'1')), L"Date", Variant(),
       Line(L"Unrecognized date value \"" + std::wstring(256, L'1') +
            L"\" at read location \"B1\""),
       true},
      {L"/!Date(%Y-%m-%d)!/", Variant(L"2020-12-25"), L"Date", Variant(),
       Line(L"Error:  date format not valid for input \"/!Date(%Y-%m-%d)!/\" at read location "
            L"\"B1\"") +
           Line(L"Unrecognized date value \"2020-12-25\" at read location \"B1\""),
       true},
      {L"/!Date(%d.%m.%Y)!/", Vector({Variant(L"1.2.2021"), DateOf(2020, 1, 1)}), L"Date",
       Vector({DateOf(2021, 2, 1), DateOf(2020, 1, 1)}),
       Line(L":  Vector of date values read from \"B1\""), false},
      {L"/!Date(%d.%m.%Y)!/", Variant(1.0), L"Date", Variant(),
       Line(L"\r\nError!  Application value must be a string to use the date format at "
            L"location: B1"),
       true},
  };
  for (const ReadCase& c : cases) {
    FakeLink link = Converted(c.format, c.raw, c.attribute_type);
    EXPECT_EQ(link.app_value, c.expected) << c.format << " " << link.status;
    EXPECT_EQ(link.status, c.status) << c.format;
    EXPECT_EQ(link.error, c.error) << c.format << " " << link.status;
    EXPECT_EQ(link.flags[ReadFlag::kValue], !c.error && c.raw != Variant(L"n/a")) << c.format;
  }
}

TEST(ConvertAppValueTest, DescriptiveFormatsReadTheTextsAndAValueIsReadOnce) {
  FakeLink link;
  link.format = L"/!Prefix!/";
  link.raw = Variant(L"~");
  Convert(link);
  Convert(link);
  link.format = L"/!Substitution!/";
  link.raw = Vector({Variant(L"n/a")});
  Convert(link);
  link.format = L"/!Postfix!/";
  link.raw = Variant(2.0);
  Convert(link);
  EXPECT_EQ(link.descriptive[DescriptiveKind::kPrefix], Variant(L"~"));
  EXPECT_EQ(link.descriptive[DescriptiveKind::kSubstitution], Vector({Variant(L"n/a")}));
  EXPECT_TRUE(link.flags[ReadFlag::kPrefix] && link.flags[ReadFlag::kSubstitution]);
  EXPECT_FALSE(link.flags[ReadFlag::kPostfix] || link.flags[ReadFlag::kValue]);
  EXPECT_TRUE(link.error);
  EXPECT_EQ(link.status,
            Line(L"  Prefix read From \"B1\"") + Line(L"  Prefix read From \"B1\"") +
                Line(L"  Vector of Substitutions read From \"B1\"") +
                Line(L"\r\nError!  Application Value is not text, format calls for Postfix from "
                     L"\"B1\""));

  // A value read twice is a duplicate location.
  FakeLink twice = Converted(L"", Variant(1.0));
  twice.raw = Variant(2.0);
  Convert(twice);
  EXPECT_EQ(twice.app_value, Variant(1.0));
  EXPECT_TRUE(twice.error);
  EXPECT_EQ(twice.status,
            Line(L":  Value Read From \"B1\"") +
                L"Error!  Application Value already read.  Duplicate location:B1\r\n");
}

TEST(ConvertAppValueTest, VectorsOfNumbersKeepTheirDescriptiveTexts) {
  FakeLink link = Converted(
      L"", Vector({Variant(L"1"), Variant(L"~2 max"), Variant(L"n/a"), Variant(4.0)}), L"Real");
  EXPECT_EQ(link.app_value, Vector({Variant(1.0), Variant(2.0), Variant(), Variant(4.0)}));
  EXPECT_EQ(link.descriptive[DescriptiveKind::kPrefix],
            Vector({Variant(), Variant(L"~"), Variant(), Variant()}));
  EXPECT_EQ(link.descriptive[DescriptiveKind::kPostfix],
            Vector({Variant(), Variant(L"max"), Variant(), Variant()}));
  EXPECT_EQ(link.descriptive[DescriptiveKind::kSubstitution],
            Vector({Variant(), Variant(), Variant(L"n/a"), Variant()}));
  EXPECT_EQ(link.status, Line(L":  Vector of values Read From \"B1\""));

  FakeLink without_formatter;
  without_formatter.attribute_type = L"Real";
  without_formatter.has_formatter = false;
  without_formatter.raw = Vector({Variant(L"1")});
  Convert(without_formatter);
  EXPECT_TRUE(without_formatter.error);
  EXPECT_EQ(without_formatter.status,
            Line(L"Error: No field formatter. occurred during processing read location \"B1\""));
}

TEST(ConvertAppValueTest, OnlyTextsReadForDateValuesBecomeDates) {
  struct Case {
    VARTYPE orvan_type;
    Variant raw;
    Variant expected;
  };
  const std::vector<Case> cases = {
      {VT_DATE, Variant(L"2020-12-25"), DateOf(2020, 12, 25)},
      {VT_DATE, Variant(L"not a date"), Variant(L"not a date")},
      {VT_DATE, Variant(true), Variant(true)},
      {VT_BOOL, Variant(L"12/25/2020"), Variant(L"12/25/2020")},
  };
  for (const Case& c : cases) {
    FakeLink link;
    link.orvan_type = c.orvan_type;
    link.raw = c.raw;
    Convert(link);
    EXPECT_EQ(link.app_value, c.expected) << c.orvan_type;
  }
}

TEST(ConvertAppValueTest, UnitDefaultKeepsTheShownPrecision) {
  testing::FakeLinkFacts two_decimals;
  two_decimals.unit_default_format = L"/!NumberFmt(2)!/";
  for (const wchar_t* format : {L"/!UnitDefault!/", L"/!unitdefault!/"}) {
    const FakeLink link = Converted(format, Variant(1234.5678), L"", two_decimals);
    EXPECT_EQ(link.app_value, Variant(1234.57));
    EXPECT_EQ(link.status, Line(L":  Value Read From \"B1\""));
  }
  EXPECT_EQ(Converted(L"/!UnitDefault!/", Variant(L"12.3456"), L"", two_decimals).app_value,
            Variant(L"12.3456"));
}

}  // namespace
}  // namespace ovc::links
