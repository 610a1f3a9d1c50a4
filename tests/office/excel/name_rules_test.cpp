#include "office/excel/name_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc::excel {
namespace {

TEST(NameRulesTest, AcceptsNamesAsTheWorkbookDoes) {
  for (const std::string& name : std::initializer_list<std::string>{
           "Rate", "_x", "\\a", "Rate.2019?", "TAX_2019", "XFE1", "A1B", "R1X", "RC2D", "Cx",
           "Données", "名前", std::string(255, 'a')}) {
    std::string reason;
    EXPECT_TRUE(CheckName(name, &reason)) << name << ": " << reason;
  }
}

TEST(NameRulesTest, RefusesWithTheReason) {
  const struct {
    std::string name;
    const char* reason;
  } cases[] = {
      {"", "a name cannot be empty"},
      {std::string(256, 'a'), "a name has at most 255 characters"},
      {"1Rate", "a name must start with a letter, '_' or '\\'"},
      {".Rate", "a name must start with a letter, '_' or '\\'"},
      {"?x", "a name must start with a letter, '_' or '\\'"},
      {"My Rate", "a name cannot contain spaces"},
      {"Rate-2", "a name may hold only letters, digits, '_', '.', '\\' and '?'"},
      {"Sheet1!Rate", "a name may hold only letters, digits, '_', '.', '\\' and '?'"},
      {"TAX2019", "a name cannot read as a cell reference"},
      {"xfd1048576", "a name cannot read as a cell reference"},
      {"R", "a name cannot read as a cell reference"},
      {"c", "a name cannot read as a cell reference"},
      {"RC", "a name cannot read as a cell reference"},
      {"R2C3", "a name cannot read as a cell reference"},
      {"c12", "a name cannot read as a cell reference"},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_FALSE(CheckName(c.name, &reason)) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
  }
}

TEST(NameRulesTest, KeysIgnoreCaseBeyondAscii) {
  EXPECT_EQ(NameKey("rate"), NameKey("RATE"));
  EXPECT_EQ(NameKey("änderung"), NameKey("ÄNDERUNG"));
  EXPECT_EQ(NameKey("σ"), NameKey("Σ"));
  EXPECT_NE(NameKey("Rate1"), NameKey("Rate2"));
}

}  // namespace
}  // namespace ovc::excel
