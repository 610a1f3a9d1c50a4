#include "office/excel/sheet_prefix.h"

#include <gtest/gtest.h>

namespace ovc::excel {
namespace {

TEST(SheetPrefixTest, QuotesOnlyWhenNeeded) {
  const struct {
    const char* book;
    const char* sheet;
    const char* prefix;
  } cases[] = {
      {"", "Sheet1", "Sheet1!"},
      {"", "Données_2.x", "Données_2.x!"},
      {"", "My Sheet", "'My Sheet'!"},
      {"", "Bob's", "'Bob''s'!"},
      {"", "2019", "'2019'!"},
      {"", "A1", "'A1'!"},
      {"", "xfd1048576", "'xfd1048576'!"},
      {"", "XFE1", "XFE1!"},
      {"", "R2C2", "'R2C2'!"},
      {"", "rc", "'rc'!"},
      {"", "a-b", "'a-b'!"},
      {"Book.xlsx", "Sheet1", "[Book.xlsx]Sheet1!"},
      {"My Book.xlsx", "Sheet1", "'[My Book.xlsx]Sheet1'!"},
      {"Book.xlsx", "It's", "'[Book.xlsx]It''s'!"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSheetPrefix(c.book, c.sheet), c.prefix);
}

TEST(SheetPrefixTest, SplitsPrefixes) {
  const struct {
    const char* text;
    const char* book;
    const char* sheet;
    const char* rest;
  } cases[] = {
      {"Rate", "", "", "Rate"},
      {"Sheet1!B2", "", "Sheet1", "B2"},
      {"My Sheet!B2", "", "My Sheet", "B2"},
      {"'My Sheet'!$B$2", "", "My Sheet", "$B$2"},
      {"'Bob''s ''x'''!Rate", "", "Bob's 'x'", "Rate"},
      {"[Book.xlsx]Sheet1!B2", "Book.xlsx", "Sheet1", "B2"},
      {"'[My Book.xlsx]It''s'!B2", "My Book.xlsx", "It's", "B2"},
      {"'a!b'!B2", "", "a!b", "B2"},
  };
  for (const auto& c : cases) {
    SheetQualified split;
    ASSERT_TRUE(SplitSheetPrefix(c.text, &split)) << c.text;
    EXPECT_EQ(split.book, c.book) << c.text;
    EXPECT_EQ(split.sheet, c.sheet) << c.text;
    EXPECT_EQ(split.rest, c.rest) << c.text;
  }
  for (const char* text :
       {"'Sheet1", "'Sheet1'B2", "'Sheet1'", "!B2", "''!B2", "[Book.xlsx!B2", "[Book.xlsx]!B2"}) {
    SheetQualified split;
    EXPECT_FALSE(SplitSheetPrefix(text, &split)) << text;
  }
}

}  // namespace
}  // namespace ovc::excel
