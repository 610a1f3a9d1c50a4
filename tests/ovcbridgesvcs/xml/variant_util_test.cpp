#include "ovcbridgesvcs/xml/variant_util.h"

#include <gtest/gtest.h>

#include "automation/safe_array.h"
#include "automation/text.h"
#include "orvan/service/attribute_text.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::xml {
namespace {

using host_testing::TakeDesc;

// The host's data service must escape exactly as the library does.
TEST(VariantUtilTest, EscapingMatchesTheHostAndRoundTrips) {
  const std::wstring long_text(20000, L'&');  // escapes to 100,000 characters
  const std::wstring texts[] = {L"",           L"A&B",          L"line\nfeed\t",
                                L"&#38; kept", L"\x01\x1f end", L"Gr\u00fc\u00dfe \u6c34",
                                long_text};
  for (const std::wstring& text : texts) {
    const std::wstring escaped = EscapeXmlText(text);
    EXPECT_EQ(escaped, FromUtf8(orvan::EscapeAttribute(ToUtf8(text)))) << ToUtf8(text);
    EXPECT_EQ(UnescapeXmlText(escaped), text) << ToUtf8(text);
  }
  EXPECT_EQ(EscapeXmlText(L"A&B\n"), L"A&#38;B&#10;");
  for (const std::wstring escaped : {L"a&#65;b&#", L"&#x41;&#9", L"&#65601;", L"&#;"}) {
    EXPECT_EQ(UnescapeXmlText(escaped), FromUtf8(orvan::UnescapeAttribute(ToUtf8(escaped))))
        << ToUtf8(escaped);
  }
  EXPECT_EQ(UnescapeXmlText(L"a&#65;b&#"), L"aAb&#");
}

TEST(VariantUtilTest, FormatForXmlByType) {
  const struct {
    Variant value;
    std::wstring text;
  } cases[] = {
      {Variant(), L""},
      {Variant::I4(2147483647), L"2147483647"},
      {Variant::R8(0.5), L"0.5"},
      {Variant::R8(0.1 + 0.2), L"0.3"},
      {Variant::R8(1e20), L"1e+20"},
      {Variant::Date(36526.25), L"36526.25"},
      {Variant(L"A&B"), L"A&B"},
      {Variant::Bool(true), L"1"},
  };
  for (const auto& [value, expected] : cases) {
    std::wstring text = L"old";
    EXPECT_EQ(FormatForXML(value, &text), S_OK);
    EXPECT_EQ(text, expected);
  }
  const struct {
    Variant value;
    std::wstring desc;
  } refused[] = {
      {Variant(static_cast<IDispatch*>(nullptr)), L"Cannot convert a object into an XML string"},
      {Variant::Error(E_FAIL), L"No defined XML format for variant type"},
      {Variant(SafeArray::FromValues({Variant::I4(1)})), L"No defined XML format for variant type"},
  };
  for (const auto& [value, desc] : refused) {
    std::wstring text = L"kept";
    EXPECT_EQ(FormatForXML(value, &text), E_INVALIDARG);
    EXPECT_EQ(TakeDesc(), desc);
    EXPECT_EQ(text, L"kept");
  }
}

TEST(VariantUtilTest, ValueFromXmlTextByWantedType) {
  const struct {
    std::wstring_view text;
    VARTYPE vt;
    Variant value;
    bool converted;
  } cases[] = {
      {L"", VT_DATE, Variant::Null(), false},
      {L"36526.25", VT_DATE, Variant::Date(36526.25), true},
      {L" -2.5e1x", VT_R8, Variant::R8(-25), true},
      {L"abc", VT_DATE, Variant::Null(), false},
      {L"inf", VT_R8, Variant::Null(), false},
      {L"42abc", VT_I4, Variant::I4(42), true},
      {L"99999999999", VT_I4, Variant::I4(2147483647), true},
      {L"on", VT_BOOL, Variant::Bool(true), true},
      {L"No", VT_BOOL, Variant::Null(), false},
  };
  for (const auto& [text, vt, expected, converted_expected] : cases) {
    Variant value;
    bool converted = true;
    const HRESULT hr = ValueFromXMLText(text, vt, &value, &converted);
    EXPECT_EQ(hr, text == L"No" ? E_FAIL : S_OK) << ToUtf8(text);
    EXPECT_EQ(value, expected) << ToUtf8(text);
    EXPECT_EQ(converted, converted_expected) << ToUtf8(text);
  }
  Variant value;
  bool converted = true;
  EXPECT_EQ(ValueFromXMLText(L"1", VT_I2, &value, &converted), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"No defined XML format for given type");
}

TEST(VariantUtilTest, BooleanTextRule) {
  for (const auto& [text, expected] : {std::pair<std::wstring_view, bool>{L"1", true},
                                       {L"0", false},
                                       {L"true", true},
                                       {L"yes", true},
                                       {L"on", true},
                                       {L"off", false},
                                       {L"no", false},
                                       {L"false", false}}) {
    bool value = !expected;
    EXPECT_TRUE(BooleanFromText(text, &value)) << ToUtf8(text);
    EXPECT_EQ(value, expected) << ToUtf8(text);
  }
  for (const std::wstring_view text : {L"Yes", L"TRUE", L"01", L"", L"o", L"maybe"}) {
    bool value = false;
    EXPECT_FALSE(BooleanFromText(text, &value)) << ToUtf8(text);
  }
}

}  // namespace
}  // namespace ovc::xml
