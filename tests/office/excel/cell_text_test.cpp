#include "office/excel/cell_text.h"

#include <gtest/gtest.h>

#include "automation/text.h"

namespace ovc::excel {
namespace {

TEST(CellTextTest, EncodesWhatXmlCannotCarryAndDecodesItBack) {
  struct Case {
    std::wstring text;
    std::string stored;
  };
  const Case cases[] = {
      {L"plain", "plain"},
      {L"_x00_ and _xZZZZ_", "_x00_ and _xZZZZ_"},
      {L"\xFFFF", "_xFFFF_"},
      {L"\x1F600 caf\xE9", "\xF0\x9F\x98\x80 caf\xC3\xA9"},
  };
  for (const Case& c : cases) {
    std::string stored;
    std::string reason;
    ASSERT_EQ(EncodeCellText(c.text, &stored, &reason), S_OK) << c.stored;
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(FromUtf8(DecodeCellText(stored)), c.text) << c.stored;
  }
}

TEST(CellTextTest, DecodesStoredForms) {
  EXPECT_EQ(DecodeCellText("_x000d__x000A_"), "\r\n");  // either case of hex digits
  EXPECT_EQ(DecodeCellText("raw\rcr"), "raw\ncr");      // as an XML reader sees it
  EXPECT_EQ(DecodeCellText("_xD83D__xDE00_"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(DecodeCellText("_xD83D_x"),
            "\xEF\xBF\xBD"
            "x");  // lone surrogate
  EXPECT_EQ(DecodeCellText("_x005F_x0041_"), "_x0041_");
}

TEST(CellTextTest, RefusesTextsACellCannotHold) {
  std::string reason;
  for (const std::wstring& text : {std::wstring(16384, L'\x1F600'), std::wstring(L"a\xD800z")}) {
    std::string stored = "kept";
    EXPECT_EQ(EncodeCellText(text, &stored, &reason), E_INVALIDARG);
    EXPECT_EQ(stored, "kept");
    EXPECT_FALSE(reason.empty());
  }
}

TEST(CellTextTest, StringItemsJoinRunsWithoutPhoneticText) {
  pugi::xml_document part;
  ASSERT_TRUE(part.load_string(
      "<x:sst xmlns:x='http://schemas.openxmlformats.org/spreadsheetml/2006/main'>"
      "<x:si><x:r><x:t>Ri</x:t></x:r><x:r><x:rPr/><x:t xml:space='preserve'>ch _x0031_</x:t>"
      "</x:r><x:rPh sb='0' eb='1'><x:t>PH</x:t></x:rPh></x:si></x:sst>",
      pugi::parse_full | pugi::parse_ws_pcdata));
  pugi::xml_node item = part.document_element().first_child();
  EXPECT_EQ(StringItemText(item), "Rich 1");

  SetStringItemText(item, " edge ");
  EXPECT_STREQ(item.first_child().name(), "x:t");
  EXPECT_STREQ(item.first_child().attribute("xml:space").value(), "preserve");
  EXPECT_EQ(StringItemText(item), " edge ");
  SetStringItemText(item, "inner space");
  EXPECT_FALSE(item.first_child().attribute("xml:space"));
}

}  // namespace
}  // namespace ovc::excel
