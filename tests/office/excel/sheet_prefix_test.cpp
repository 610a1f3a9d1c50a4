#include "office/excel/sheet_prefix.h"

#include <gtest/gtest.h>
#include <string>

namespace ovc::excel {
namespace {

TEST(SheetPrefixTest, QuotesOnlyWhenNeeded) {
  const struct {
    const char* book;
    const char* sheet;
    const char* prefix;
  } cases[] = {
      {"", "Données_2.x", "Données_2.x!"},
      {"", "My Sheet", "'My Sheet'!"},
      {"", "Bob's", "'Bob''s'!"},
      {"", "xfd1048576", "'xfd1048576'!"},
      {"", "rc", "'rc'!"},
      {"My Book.xlsx", "S", "'[My Book.xlsx]S'!"},
      {"It's [1].xlsx", "S", "'[It''s [1].xlsx]S'!"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSheetPrefix(c.book, c.sheet), c.prefix);
}

TEST(SheetPrefixTest, SplitsPrefixes) {
  const struct {
    const char* text;
    const char* book;
    const char* sheet;
    const char* rest;  // nullptr when malformed
  } cases[] = {
      {"Rate", "", "", "Rate"},
      {"My Sheet!B2", "", "My Sheet", "B2"},
      {"'Bob''s ''x'''!Rate", "", "Bob's 'x'", "Rate"},
      {"'[My Book.xlsx]a!b'!B2", "My Book.xlsx", "a!b", "B2"},
      {"'[It''s [1].xlsx]S'!B2", "It's [1].xlsx", "S", "B2"},
      {"'Sheet1", "", "", nullptr},
      {"[Book.xlsx!B2", "", "", nullptr},
  };
  for (const auto& c : cases) {
    SheetQualified split;
    ASSERT_EQ(SplitSheetPrefix(c.text, &split), c.rest != nullptr) << c.text;
    if (c.rest == nullptr) continue;
    EXPECT_EQ(split.book + "|" + split.sheet + "|" + std::string(split.rest),
              std::string(c.book) + "|" + c.sheet + "|" + c.rest);
  }
}

}  // namespace
}  // namespace ovc::excel
