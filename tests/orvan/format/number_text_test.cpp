#include "orvan/format/number_text.h"

#include <gtest/gtest.h>

namespace ovc::orvan {
namespace {

TEST(NumberTextTest, ParseRealAcceptsOnlyAWholeFiniteNumber) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"1.5", true, 1.5},   {" 2 ", true, 2},  {"+3", true, 3},    {"-4e2", true, -400},
      {"1E+3", true, 1000}, {".5", true, 0.5}, {"", false, 0},     {"abc", false, 0},
      {"1.5x", false, 0},   {"1,5", false, 0}, {"nan", false, 0},  {"inf", false, 0},
      {"1e999", false, 0},  {"+-1", false, 0}, {"0x10", false, 0},
  };
  for (const Case& c : cases) {
    double value = 99;
    EXPECT_EQ(ParseReal(c.text, &value), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : 99) << c.text;
  }
}

TEST(NumberTextTest, LeadingIntegerReadsLikeTheCLibrary) {
  struct Case {
    const char* text;
    int32_t value;
  };
  const Case cases[] = {{"42", 42},
                        {"  -7xyz", -7},
                        {"abc", 0},
                        {"", 0},
                        {"+9", 9},
                        {"99999999999", 2147483647},
                        {"-99999999999", -2147483647 - 1},
                        {"12;", 12}};
  for (const Case& c : cases) EXPECT_EQ(LeadingInteger(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace ovc::orvan
