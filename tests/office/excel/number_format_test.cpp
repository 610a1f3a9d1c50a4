#include "office/excel/number_format.h"

#include <gtest/gtest.h>

namespace ovc::excel {
namespace {

TEST(NumberFormatTest, DateFormats) {
  for (uint32_t id : {14u, 22u, 27u, 36u, 45u, 47u, 50u, 58u})
    EXPECT_TRUE(IsBuiltInDateFormat(id)) << id;
  for (uint32_t id : {0u, 13u, 23u, 26u, 37u, 44u, 48u, 49u, 59u})
    EXPECT_FALSE(IsBuiltInDateFormat(id)) << id;
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
