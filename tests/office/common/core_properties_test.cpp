#include "office/common/core_properties.h"

#include <gtest/gtest.h>

#include "automation/text.h"
#include "tests/automation/decimal_comma_locale.h"
#include "tests/office/common/xml_part.h"

namespace ovc::office {
namespace {

using testing::LoadPart;
using testing::XmlOf;

constexpr int64_t kTwoHours = 7200;
int64_t TwoHoursEast(int64_t) { return kTwoHours; }

constexpr std::string_view kCore =
    "<cp:coreProperties xmlns:cp='http://schemas.openxmlformats.org/package/2006/metadata/"
    "core-properties' xmlns:dc='http://purl.org/dc/elements/1.1/' "
    "xmlns:dcterms='http://purl.org/dc/terms/' "
    "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>"
    "<dc:title>Plan</dc:title><dc:creator>ann</dc:creator>"
    "<dcterms:created xsi:type='dcterms:W3CDTF'>2024-01-02T10:00:00Z</dcterms:created>"
    "<dcterms:modified xsi:type='dcterms:W3CDTF'>2024-01-02T12:00:00.5+02:00</dcterms:modified>"
    "</cp:coreProperties>";

void ExpectTextAndLocalTimes() {
  pugi::xml_document part;
  LoadPart(&part, kCore);
  const CoreProperties properties(&part, nullptr, TwoHoursEast);
  const struct {
    const wchar_t* name;
    Variant value;
  } cases[] = {
      {L"title", Variant(L"Plan")},
      {L"Author", Variant(L"ann")},
      {L"Comments", Variant()},
      {L"Creation Date", Variant::Date(45293.5)},  // 2024-01-02 12:00 local
      {L"Last Save Time", Variant::Date(45293 + 12.0 / 24 + 0.5 / 86400)},
  };
  for (const auto& c : cases) {
    Variant value;
    std::string reason;
    EXPECT_EQ(properties.Get(c.name, &value, &reason), S_OK) << reason;
    EXPECT_EQ(value, c.value) << ToUtf8(c.name);
  }
  Variant value;
  std::string reason;
  EXPECT_EQ(properties.Get(L"Company", &value, &reason), DISP_E_BADINDEX);
  EXPECT_EQ(reason, "no document property 'Company'");
}

TEST(CorePropertiesTest, ReadsTextAndLocalTimes) { ExpectTextAndLocalTimes(); }

TEST(CorePropertiesTest, ReadsTimesAlikeInADecimalCommaLocale) {
  OVC_IN_DECIMAL_COMMA_LOCALE(locale);
  ExpectTextAndLocalTimes();
}

TEST(CorePropertiesTest, PutsTextPropertiesOnly) {
  pugi::xml_document part;
  LoadPart(&part, kCore);
  CoreProperties properties(&part, nullptr, TwoHoursEast);
  std::string reason;
  EXPECT_EQ(properties.Put(L"Title", Variant(L"New _x0041_"), &reason), S_OK);
  EXPECT_EQ(properties.Put(L"Keywords", Variant::I4(42), &reason), S_OK);
  EXPECT_EQ(properties.Put(L"Last Author", Variant(L"x"), &reason), E_ACCESSDENIED);
  EXPECT_EQ(properties.Put(L"Subject", Variant(L"a\x01"), &reason), E_INVALIDARG);
  EXPECT_EQ(XmlOf(part.document_element().child("dc:title")), "<dc:title>New _x0041_</dc:title>");
  EXPECT_EQ(XmlOf(part.document_element().last_child()), "<cp:keywords>42</cp:keywords>");
  EXPECT_TRUE(properties.changed());
}

TEST(CorePropertiesTest, MakesThePartWhenFirstChanged) {
  pugi::xml_document made;
  int calls = 0;
  CoreProperties properties(nullptr, [&] {
    ++calls;
    return &made;
  });
  Variant value = Variant(L"kept");
  std::string reason;
  EXPECT_EQ(properties.Get(L"Title", &value, &reason), S_OK);
  EXPECT_EQ(value, Variant());
  EXPECT_EQ(calls, 0);
  ASSERT_TRUE(properties.NoteSave("bob", 1704196800));  // 2024-01-02 12:00 UTC
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(XmlOf(made),
            "<cp:coreProperties xmlns:cp='http://schemas.openxmlformats.org/package/2006/metadata/"
            "core-properties' xmlns:dcterms='http://purl.org/dc/terms/' "
            "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'><cp:lastModifiedBy>bob"
            "</cp:lastModifiedBy><dcterms:modified xsi:type='dcterms:W3CDTF'>2024-01-02T12:00:00Z"
            "</dcterms:modified></cp:coreProperties>");
  EXPECT_EQ(properties.Get(L"Last Author", &value, &reason), S_OK);
  EXPECT_EQ(value, Variant(L"bob"));
}

}  // namespace
}  // namespace ovc::office
