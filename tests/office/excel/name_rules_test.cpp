#include "office/excel/name_rules.h"

#include <gtest/gtest.h>
#include <string>

namespace ovc::excel {
namespace {

TEST(NameRulesTest, ChecksNamesAsTheWorkbookDoesAndKeysIgnoreCaseBeyondAscii) {
  const struct {
    std::string name;
    const char* reason;  // "" when valid
  } cases[] = {
      {"Rate.2019?", ""},
      {"XFE1", ""},
      {"名前", ""},
      {std::string(255, 'a'), ""},
      {"", "a name cannot be empty"},
      {std::string(256, 'a'), "a name has at most 255 characters"},
      {"1Rate", "a name must start with a letter, '_' or '\\'"},
      {"My Rate", "a name cannot contain spaces"},
      {"Sheet1!Rate", "a name may hold only letters, digits, '_', '.', '\\' and '?'"},
      {"TAX2019", "a name cannot read as a cell reference"},
      {"R2C3", "a name cannot read as a cell reference"},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_EQ(CheckName(c.name, &reason), *c.reason == 0) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
  }
  EXPECT_EQ(NameKey("änderung_σ"), NameKey("ÄNDERUNG_Σ"));
  EXPECT_NE(NameKey("Rate1"), NameKey("Rate2"));
}

}  // namespace
}  // namespace ovc::excel
