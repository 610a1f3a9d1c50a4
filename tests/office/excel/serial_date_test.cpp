#include "office/excel/serial_date.h"

#include <gtest/gtest.h>

#include "office/excel/number_format.h"

namespace ovc::excel {
namespace {

TEST(SerialDateTest, SerialsAndAutomationDates) {
  struct Case {
    double serial;
    DateSystem system;
    bool is_date;
    DATE date;
  };
  const Case cases[] = {
      {0.25, DateSystem::k1900, true, 0.25},  // a time of day alone
      {1, DateSystem::k1900, true, 2},        // 1900-01-01
      {59.5, DateSystem::k1900, true, 60.5},  // 1900-02-28 noon
      {60, DateSystem::k1900, false, 0},      // 1900-02-29, which never was
      {61, DateSystem::k1900, true, 61},      // 1900-03-01
      {45000, DateSystem::k1900, true, 45000}, {-1, DateSystem::k1900, false, 0},
      {2958466, DateSystem::k1900, false, 0},  {0, DateSystem::k1904, true, 1462},  // 1904-01-01
      {43538, DateSystem::k1904, true, 45000},
  };
  for (const Case& c : cases) {
    DATE date = -99;
    EXPECT_EQ(SerialToDate(c.serial, c.system, &date), c.is_date) << c.serial;
    if (!c.is_date) continue;
    EXPECT_EQ(date, c.date) << c.serial;
    double serial = -99;
    ASSERT_TRUE(DateToSerial(date, c.system, &serial)) << c.serial;
    EXPECT_EQ(serial, c.serial);
  }
}

TEST(SerialDateTest, DatesNoSerialCarries) {
  double serial = -99;
  EXPECT_FALSE(DateToSerial(1.5, DateSystem::k1900, &serial));  // 1899-12-31
  EXPECT_FALSE(DateToSerial(-5, DateSystem::k1900, &serial));
  EXPECT_FALSE(DateToSerial(1000, DateSystem::k1904, &serial));  // 1902
  EXPECT_FALSE(DateToSerial(2958466.5, DateSystem::k1900, &serial));
  EXPECT_EQ(serial, -99);
}

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
