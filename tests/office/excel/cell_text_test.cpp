#include "office/excel/cell_text.h"

#include <gtest/gtest.h>
#include <string>

#include "automation/text.h"

namespace ovc::excel {
namespace {

TEST(CellTextTest, EncodesWhatXmlCannotCarryDecodesItBackAndRefusesWhatNoCellHolds) {
  const struct Case {
    std::wstring text;
    std::string stored;
  } cases[] = {
      {L"plain", "plain"},
      {L"_x00_ and _xZZZZ_", "_x00_ and _xZZZZ_"},
      {L"\xFFFF", "_xFFFF_"},
      {L"\x1F600 caf\xE9", "\xF0\x9F\x98\x80 caf\xC3\xA9"},
  };
  std::string reason;
  for (const Case& c : cases) {
    std::string stored;
    ASSERT_EQ(EncodeCellText(c.text, &stored, &reason), S_OK) << c.stored;
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(FromUtf8(DecodeCellText(stored)), c.text) << c.stored;
  }
  EXPECT_EQ(DecodeCellText("_x000d__x000A_"), "\r\n");  // either case of hex digits
  EXPECT_EQ(DecodeCellText("raw\rcr"), "raw\ncr");      // as an XML reader sees it
  EXPECT_EQ(DecodeCellText("_xD83D__xDE00_"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(DecodeCellText("_xD83D_x"), "\xEF\xBF\xBDx");  // lone surrogate
  EXPECT_EQ(DecodeCellText("_x005F_x0041_"), "_x0041_");
  for (const std::wstring& text : {std::wstring(16384, L'\x1F600'), std::wstring(L"a\xD800z")}) {
    std::string stored = "kept";
    std::string why;
    EXPECT_EQ(EncodeCellText(text, &stored, &why), E_INVALIDARG);
    EXPECT_EQ(stored, "kept");
    EXPECT_FALSE(why.empty());
  }
}

}  // namespace
}  // namespace ovc::excel
