#include "automation/date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace ovc {
namespace {

// 2020-12-25, day 44190 of automation dates.
constexpr DATE kChristmas2020 = 44190;

TEST(DateTest, FieldsAndDatesAgree) {
  const struct {
    DateFields fields;
    DATE date;
  } cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0},
      {{1899, 12, 31, 0, 0, 0, 0}, 1},
      {{2020, 12, 25, 0, 0, 0, 0}, kChristmas2020},
      {{2020, 12, 25, 18, 0, 0, 0}, kChristmas2020 + 0.75},
      {{2000, 2, 29, 0, 0, 0, 0}, 36585},
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},
      {{1899, 12, 29, 18, 0, 0, 0}, -1.75},
      {{100, 1, 1, 0, 0, 0, 0}, -657434},
      {{9999, 12, 31, 0, 0, 0, 0}, 2958465},
      {{2020, 12, 25, 13, 45, 30, 0}, kChristmas2020 + 49530.0 / 86400},
  };
  for (const auto& c : cases) {
    DATE date = -1e9;
    ASSERT_TRUE(DateFromFields(c.fields, &date)) << c.date;
    EXPECT_EQ(date, c.date);
    DateFields fields;
    ASSERT_TRUE(FieldsFromDate(c.date, &fields)) << c.date;
    EXPECT_EQ(fields, c.fields) << c.date;
  }
}

TEST(DateTest, NegativeZeroDayKeepsItsTime) {
  DateFields fields;
  ASSERT_TRUE(FieldsFromDate(-0.5, &fields));
  EXPECT_EQ(fields, (DateFields{1899, 12, 30, 12, 0, 0, 0}));
}

TEST(DateTest, InvalidFieldsAreRejected) {
  const DateFields cases[] = {
      {99, 12, 31},     {10000, 1, 1},       {2020, 0, 1},           {2020, 13, 1},
      {2021, 2, 29},    {1900, 2, 29},       {2020, 4, 31},          {2020, 1, 0},
      {2020, 1, 1, 24}, {2020, 1, 1, 0, 60}, {2020, 1, 1, 0, 0, 60}, {2020, 1, 1, 0, 0, 0, 1000},
      {2020, 1, 1, -1},
  };
  for (const DateFields& fields : cases) {
    DATE date = 123;
    EXPECT_FALSE(DateFromFields(fields, &date)) << fields.year << "-" << fields.month;
    EXPECT_EQ(date, 123);
  }
  DATE leap = 0;
  EXPECT_TRUE(DateFromFields({2000, 2, 29}, &leap));
  EXPECT_TRUE(DateFromFields({2024, 2, 29}, &leap));
}

TEST(DateTest, DatesOutsideTheYearsAreRejected) {
  DateFields fields;
  EXPECT_FALSE(FieldsFromDate(2958466.0, &fields));
  EXPECT_FALSE(FieldsFromDate(-657435.0, &fields));
  EXPECT_FALSE(FieldsFromDate(std::nan(""), &fields));
  EXPECT_FALSE(FieldsFromDate(INFINITY, &fields));
  EXPECT_TRUE(FieldsFromDate(-657434.5, &fields));
  EXPECT_EQ(fields, (DateFields{100, 1, 1, 12, 0, 0, 0}));
  EXPECT_EQ(FormatDate(3e6), L"");
}

TEST(DateTest, TimesRoundToTheMillisecond) {
  const double millisecond = 1.0 / 86400000;
  DateFields fields;
  ASSERT_TRUE(FieldsFromDate(kChristmas2020 + 1000.6 * millisecond, &fields));
  EXPECT_EQ(fields, (DateFields{2020, 12, 25, 0, 0, 1, 1}));
  ASSERT_TRUE(FieldsFromDate(kChristmas2020 + 1 - 0.4 * millisecond, &fields));
  EXPECT_EQ(fields, (DateFields{2020, 12, 26, 0, 0, 0, 0}));
  ASSERT_TRUE(FieldsFromDate(-1 - (1 - 0.4 * millisecond), &fields));
  EXPECT_EQ(fields, (DateFields{1899, 12, 30, 0, 0, 0, 0}));
}

TEST(DateTest, ParsesTheDefaultLocaleForms) {
  const struct {
    const wchar_t* text;
    DATE date;
  } cases[] = {
      {L"12/25/2020", kChristmas2020},
      {L" 12/25/2020 ", kChristmas2020},
      {L"2020-12-25", kChristmas2020},
      {L"2020/12/25", kChristmas2020},
      {L"12-25-2020", kChristmas2020},
      {L"Dec 25, 2020", kChristmas2020},
      {L"december 25 2020", kChristmas2020},
      {L"25 December 2020", kChristmas2020},
      {L"25-Dec-2020", kChristmas2020},
      {L"13:45", 825.0 / 1440},
      {L"1:45:30 PM", 49530.0 / 86400},
      {L"1:45:30 pm", 49530.0 / 86400},
      {L"12:00 AM", 0},
      {L"12:30 PM", 750.0 / 1440},
      {L"0:00:01.5", 1500.0 / 86400000},
      {L"12/25/2020 1:45:30 PM", kChristmas2020 + 49530.0 / 86400},
      {L"2020-12-25T18:00", kChristmas2020 + 0.75},
      {L"6:00 PM 12/25/2020", kChristmas2020 + 0.75},
  };
  for (const auto& c : cases) {
    DATE date = -1;
    EXPECT_TRUE(ParseDate(c.text, &date)) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(date, c.date) << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(DateTest, TwoDigitYearsPivotAtThirty) {
  const struct {
    const wchar_t* text;
    DATE date;
  } cases[] = {
      {L"12/25/20", kChristmas2020}, {L"12/25/29", 47477}, {L"12/25/30", 11317},
      {L"12/25/99", 36519},          {L"1/5/20", 43835},   {L"Dec 25, 30", 11317},
      {L"12/25/0", 36885},
  };
  for (const auto& c : cases) {
    DATE date = -1;
    EXPECT_TRUE(ParseDate(c.text, &date)) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(date, c.date) << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(DateTest, RejectsTextThatIsNoDate) {
  const wchar_t* cases[] = {
      L"",
      L"hello",
      L"2/30/2020",
      L"13/1/2020",
      L"12/25",
      L"25:00",
      L"1:60",
      L"13:00 PM",
      L"0:30 AM",
      L"12/25/2020 x",
      L"Foo 25 2020",
      L"12/25/0099",
      L"12/25/10000",
      L"12:00 12/25/2020 1:00",
      L"2020-12-25 13:45 13:46",
      L"1,5",
      L"12.25.2020",
      L"1:2:3:4",
  };
  for (const wchar_t* text : cases) {
    DATE date = 7;
    EXPECT_FALSE(ParseDate(text, &date)) << testing::PrintToString(std::wstring(text));
    EXPECT_EQ(date, 7);
  }
}

TEST(DateTest, FormatsDateTimeAndTimeAlone) {
  const struct {
    DATE date;
    const wchar_t* text;
  } cases[] = {
      {kChristmas2020, L"12/25/2020"},
      {kChristmas2020 + 49530.0 / 86400, L"12/25/2020 1:45:30 PM"},
      {kChristmas2020 + 0.5, L"12/25/2020 12:00:00 PM"},
      {49530.0 / 86400, L"1:45:30 PM"},
      {0, L"12:00:00 AM"},
      {-1.25, L"12/29/1899 6:00:00 AM"},
      {-657434, L"1/1/100"},
      {kChristmas2020 + 0.9999999, L"12/26/2020"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDate(c.date), c.text) << c.date;
}

TEST(DateTest, FormattedDatesParseBack) {
  const DATE dates[] = {kChristmas2020, kChristmas2020 + 0.75, 0.25, -1.25, 2958465.5, -657434};
  for (DATE date : dates) {
    DATE read = 0;
    ASSERT_TRUE(ParseDate(FormatDate(date), &read)) << date;
    EXPECT_EQ(read, date);
  }
}

}  // namespace
}  // namespace ovc
