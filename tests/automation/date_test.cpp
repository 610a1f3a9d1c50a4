#include "automation/date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "automation/text.h"

namespace ovc {
namespace {

// 2020-12-25, day 44190 of automation dates.
constexpr DATE kChristmas2020 = 44190;
constexpr double kMillisecond = 1.0 / 86400000;

// Dates become fields rounded to the millisecond; dates without a fraction
// of a millisecond come back from their fields.
TEST(DateTest, FieldsAndDatesAgree) {
  const struct {
    DATE date;
    DateFields fields;
    bool exact;
  } cases[] = {
      {36585, {2000, 2, 29, 0, 0, 0, 0}, true},
      {-657434, {100, 1, 1, 0, 0, 0, 0}, true},
      {2958465, {9999, 12, 31, 0, 0, 0, 0}, true},
      {kChristmas2020 + 1 - 0.4 * kMillisecond, {2020, 12, 26, 0, 0, 0, 0}, false},
  };
  for (const auto& c : cases) {
    DateFields fields;
    ASSERT_TRUE(FieldsFromDate(c.date, &fields)) << c.date;
    EXPECT_EQ(fields, c.fields) << c.date;
    DATE date = -1e9;
    EXPECT_EQ(DateFromFields(c.fields, &date) && date == c.date, c.exact) << c.date;
  }
  DateFields fields;
  for (DATE outside : {2958466.0, -657435.0, std::nan("")}) {
    EXPECT_FALSE(FieldsFromDate(outside, &fields)) << outside;
  }
  for (const DateFields& bad : {DateFields{99, 12, 31}, DateFields{1900, 2, 29},
                                DateFields{2020, 4, 31}, DateFields{2020, 1, 1, 24}}) {
    DATE date = 123;
    EXPECT_FALSE(DateFromFields(bad, &date)) << bad.year << "-" << bad.month;
    EXPECT_EQ(date, 123);
  }
}

// Each text parses to its date; the dates marked formatted also format to it.
TEST(DateTest, TextFormsOfTheDefaultLocale) {
  const struct {
    const wchar_t* text;
    DATE date;
    bool formatted;
  } cases[] = {
      {L"12/25/2020 12:00:00 PM", kChristmas2020 + 0.5, true},
      {L"1:45:30 PM", 49530.0 / 86400, true},
      {L"12:00:00 AM", 0, true},
      {L"12/29/1899 6:00:00 AM", -1.25, true},
      {L"2020-12-25", kChristmas2020, false},
      {L"25-Dec-2020", kChristmas2020, false},
      {L"0:00:01.5", 1500 * kMillisecond, false},
      {L"2020-12-25T18:00", kChristmas2020 + 0.75, false},
      {L"12/25/29", 47477, false},    // two-digit years 00-29 are 20xx,
      {L"Dec 25, 30", 11317, false},  // 30-99 19xx
  };
  for (const auto& c : cases) {
    DATE date = -1;
    EXPECT_TRUE(ParseDate(c.text, &date)) << ToUtf8(c.text);
    EXPECT_EQ(date, c.date) << ToUtf8(c.text);
    EXPECT_TRUE(!c.formatted || FormatDate(c.date) == c.text) << ToUtf8(FormatDate(c.date));
  }
  for (const wchar_t* text : {L"", L"2/30/2020", L"12/25", L"13:00 PM", L"12/25/2020 x", L"1,5"}) {
    DATE date = 7;
    EXPECT_FALSE(ParseDate(text, &date)) << ToUtf8(text);
    EXPECT_EQ(date, 7);
  }
  EXPECT_EQ(FormatDate(kChristmas2020 + 0.9999999), L"12/26/2020");
  EXPECT_EQ(FormatDate(3e6), L"");
}

}  // namespace
}  // namespace ovc
