#include "ovcbridgesvcs/xml/variant_util.h"

#include <gtest/gtest.h>

#include "automation/safe_array.h"
#include "automation/text.h"
#include "orvan/service/attribute_text.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::xml {
namespace {

using host_testing::TakeDesc;

// The host's data service must escape exactly as the library does; texts
// escape to any length.
TEST(VariantUtilTest, EscapingMatchesTheHostAndRoundTrips) {
  const std::wstring texts[] = {
      L"A&B\n",     L"&#38; kept\x01", L"Gr\u00fc\u00dfe \u6c34", std::wstring(20000, L'&'),
      L"a&#65;b&#", L"&#x41;&#65601;"};
  for (const std::wstring& text : texts) {
    const std::wstring escaped = EscapeXmlText(text);
    EXPECT_EQ(escaped, FromUtf8(orvan::EscapeAttribute(ToUtf8(text)))) << ToUtf8(text);
    EXPECT_EQ(UnescapeXmlText(escaped), text) << ToUtf8(text);
    EXPECT_EQ(UnescapeXmlText(text), FromUtf8(orvan::UnescapeAttribute(ToUtf8(text))));
  }
  EXPECT_EQ(EscapeXmlText(L"A&B\n"), L"A&#38;B&#10;");
  EXPECT_EQ(UnescapeXmlText(L"a&#65;b&#"), L"aAb&#");
}

TEST(VariantUtilTest, FormatForXmlByType) {
  const std::pair<Variant, std::wstring> cases[] = {
      {Variant::Null(), L""},        {Variant::I2(-7), L"-7"},
      {Variant::R8(0.5), L"0.5"},    {Variant::R8(0.1 + 0.2), L"0.3"},
      {Variant::R8(1e20), L"1e+20"}, {Variant::Date(36526.25), L"36526.25"},
      {Variant::Bool(true), L"1"},   {Variant(L"A&B"), L"A&B"},
  };
  for (const auto& [value, expected] : cases) {
    std::wstring text = L"old";
    EXPECT_EQ(FormatForXML(value, &text), S_OK);
    EXPECT_EQ(text, expected);
  }
  const std::pair<Variant, std::wstring> refused[] = {
      {Variant(static_cast<IDispatch*>(nullptr)), L"Cannot convert a object into an XML string"},
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
    HRESULT hr;
    Variant value;
  } cases[] = {
      {L"", VT_DATE, S_OK, Variant::Null()},
      {L"36526.25", VT_DATE, S_OK, Variant::Date(36526.25)},
      {L" -2.5e1x", VT_R8, S_OK, Variant::R8(-25)},
      {L"inf", VT_R8, S_OK, Variant::Null()},
      {L"99999999999", VT_I4, S_OK, Variant::I4(2147483647)},
      {L"on", VT_BOOL, S_OK, Variant::Bool(true)},
      {L"off", VT_BOOL, S_OK, Variant::Bool(false)},
      {L"Yes", VT_BOOL, E_FAIL, Variant::Null()},
      {L"1", VT_I2, E_FAIL, Variant::Null()},
  };
  for (const auto& [text, vt, hr, expected] : cases) {
    Variant value;
    bool converted = false;
    EXPECT_EQ(ValueFromXMLText(text, vt, &value, &converted), hr) << ToUtf8(text);
    EXPECT_EQ(value, expected) << ToUtf8(text);
    EXPECT_EQ(converted, !expected.IsNull()) << ToUtf8(text);
  }
}

}  // namespace
}  // namespace ovc::xml
