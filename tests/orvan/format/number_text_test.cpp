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
      {" 2 ", true, 2},  {"-4e2", true, -400}, {".5", true, 0.5},
      {"", false, 0},    {"1.5x", false, 0},   {"nan", false, 0},
      {"inf", false, 0}, {"1e999", false, 0},  {"0x10", false, 0},
  };
  for (const Case& c : cases) {
    double value = 99;
    EXPECT_EQ(ParseReal(c.text, &value), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : 99) << c.text;
  }
}

}  // namespace
}  // namespace ovc::orvan
