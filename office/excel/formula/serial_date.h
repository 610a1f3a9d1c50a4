#pragma once

#include <cstdint>

#include "automation/variant.h"

namespace ovc::excel::formula {

// Serial numbers count days from 1900-01-01 (1), with the 29th of February
// 1900 (60) that the spreadsheet keeps for compatibility; serial 0 reads as
// 1900-01-00. A workbook in the 1904 date system counts its serials 1462
// days later (serial 0 is 1904-01-01): its functions add that offset before
// and subtract it after. Either way the last day is 9999-12-31, where
// automation dates end.
enum class DateSystem { k1900, k1904 };

struct Civil {
  int64_t year;
  int64_t month;
  int64_t day;
};

// Days of the 1904 date system's serials after the 1900 system's.
inline constexpr double k1904Offset = 1462;
inline constexpr double kMaxSerial = 2958465;  // 9999-12-31 in the 1900 system

// The serial of a day of the proleptic calendar (month 1-12; day may run
// past the month); -1 when out of the calendar's range.
double SerialOf(int64_t year, int64_t month, int64_t day);
// The day of a serial from 0 to kMaxSerial (its fraction ignored).
Civil CivilOf(double serial);

// The automation date of a serial. False for a serial that is no date:
// negative, past 9999-12-31, or 1900-02-29 in the 1900 system.
bool SerialToDate(double serial, DateSystem system, DATE* date);

// The serial of an automation date (the inverse of SerialToDate). False for
// dates no serial carries: before the system's first day, except times of
// day alone (dates from 1899-12-30 to the day after), and past 9999.
bool DateToSerial(DATE date, DateSystem system, double* serial);

}  // namespace ovc::excel::formula
