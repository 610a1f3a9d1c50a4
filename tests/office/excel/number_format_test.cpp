#include "office/excel/number_format.h"

#include <gtest/gtest.h>

namespace ovc::excel {
namespace {

TEST(NumberFormatTest, DateFormatCodes) {
  for (const char* code : {"yyyy-mm-dd", "d/m", "h:mm AM/PM", "[h]", "[MM]:ss", "[Red][ss]",
                           "[$-409]mmm", "\"at\" hh"}) {
    EXPECT_TRUE(IsDateFormatCode(code)) << code;
  }
  for (const char* code : {"General", "0.00", "#,##0 \"days\"", "0\\d", "[Red]0.0", "_m0", "*s0",
                           "0.00E+00", "[>100]0", "\"unclosed d"}) {
    EXPECT_FALSE(IsDateFormatCode(code)) << code;
  }
}

}  // namespace
}  // namespace ovc::excel
