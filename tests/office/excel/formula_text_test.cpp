#include "office/excel/formula_text.h"

#include <gtest/gtest.h>
#include <string>

namespace ovc::excel {
namespace {

TEST(FormulaTextTest, ShiftsRelativeReferencesAndFindsVolatileFunctions) {
  const struct Case {
    const char* formula;
    int32_t rows;
    int32_t columns;
    const char* shifted;  // null: cannot be shifted
  } cases[] = {
      {"A1*2", 1, 0, "A2*2"},
      {"$A1+A$1+$A$1", 2, 3, "$A3+D$1+$A$1"},
      {"SUM(B2:C3)/LOG10(4)", 1, 1, "SUM(C3:D4)/LOG10(4)"},
      {"Sheet2!A1&'My Sheet'!B1&\"A1\"", 0, 1, "Sheet2!B1&'My Sheet'!C1&\"A1\""},
      {"Table1[Col]+A1", 1, 0, "Table1[Col]+A2"},
      {"A1", -1, 0, nullptr},
      {"XFD1", 0, 1, nullptr},
      {"SUM(A:A)", 1, 0, nullptr},
  };
  for (const Case& c : cases) {
    std::string shifted = "kept";
    EXPECT_EQ(ShiftReferences(c.formula, c.rows, c.columns, &shifted), c.shifted != nullptr)
        << c.formula;
    EXPECT_EQ(shifted, c.shifted != nullptr ? c.shifted : "kept") << c.formula;
  }
  EXPECT_EQ(VolatileFunctionIn("A1+now()"), "NOW");
  EXPECT_EQ(VolatileFunctionIn("SUM(_xlfn.RANDARRAY(2))"), "RANDARRAY");
  EXPECT_EQ(VolatileFunctionIn("\"NOW()\"&MYNOW()&Today"), "");  // text, another name, no call
  EXPECT_EQ(VolatileFunctionIn("'RAND('!A1+Info"), "");
}

}  // namespace
}  // namespace ovc::excel
