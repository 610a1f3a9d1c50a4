#pragma once

#include "automation/variant.h"

namespace ovc::excel {

// The day numbering of a workbook: serial 1 is 1900-01-01 (with the
// non-existent 1900-02-29 as serial 60), or 1904-01-02 in the 1904 system.
enum class DateSystem { k1900, k1904 };

// The largest serial a date can have (9999-12-31, end of the day).
inline constexpr double kMaxDateSerial = 2958465.99999;

// The automation date of a serial. False for a serial that is no date:
// negative, past kMaxDateSerial, or 1900-02-29 in the 1900 system.
bool SerialToDate(double serial, DateSystem system, DATE* date);

// The serial of an automation date (the inverse of SerialToDate). False for
// dates no serial carries: before the system's first day, except times of
// day alone (dates from 1899-12-30 to the day after), and past 9999.
bool DateToSerial(DATE date, DateSystem system, double* serial);

}  // namespace ovc::excel
