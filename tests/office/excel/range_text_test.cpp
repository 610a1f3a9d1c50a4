#include "office/excel/range_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc::excel {
namespace {

TEST(RangeTextTest, ReadsNamesAndQualifiedReferences) {
  const struct {
    std::string text;
    std::string parsed;  // book|sheet|name|area rows x columns or r1c1, or the reason
  } cases[] = {
      {"  Rate\t", "||Rate|-"},
      {"Sheet1!Rate", "|Sheet1|Rate|-"},
      {"'My ''S'''!$B$2:$C$4", "|My 'S'|$B$2:$C$4|3x2"},
      {"[Book.xlsx]Sheet1!$A:$A", "Book.xlsx|Sheet1|$A:$A|1048576x1"},
      {std::string(9, ' ') + std::string(2048, 'a'), "||" + std::string(2048, 'a') + "|-"},
      {" B2 ", "||B2|1x1"},
      {"R2C2", "||R2C2|r1c1"},
      {"Sheet1!R2C2", "|Sheet1|R2C2|r1c1"},
      {"Sheet1!R1:R3", "|Sheet1|R1:R3|3x1"},
      {" \t", "no range given"},
      {std::string(2049, 'a'), "range text longer than 2,048 characters"},
  };
  for (const auto& c : cases) {
    RangeText text;
    std::string reason;
    HRESULT code = S_OK;
    std::string parsed;
    if (ParseRangeText(c.text, &text, &reason, &code)) {
      const std::string size = std::to_string(text.area.last.row - text.area.first.row + 1) + "x" +
                               std::to_string(text.area.last.column - text.area.first.column + 1);
      parsed = text.book + "|" + text.sheet + "|" + text.name + "|" +
               (text.is_reference ? size
                : text.is_r1c1    ? "r1c1"
                                  : "-");
    } else {
      EXPECT_EQ(code, E_INVALIDARG);
      parsed = reason;
    }
    EXPECT_EQ(parsed, c.parsed) << c.text;
  }
}

}  // namespace
}  // namespace ovc::excel
