#include "office/excel/formula/serial_date.h"

#include <cmath>

#include "automation/date.h"

namespace ovc::excel::formula {

namespace {

// The automation date of 1900-03-01, the first day serials and automation
// dates agree on; and of 1900-01-01.
constexpr double kMarch1900 = 61;
constexpr double kJanuary1900 = 2;

// True up to the end of 9999-12-31, the last day of both serials and
// automation dates.
bool BeforeTheEnd(DATE date) { return date < kMaxSerial + 1; }

}  // namespace

// Serial days from 1900-03-01 on are automation dates (days since
// 1899-12-30); earlier ones are one more.
double SerialOf(int64_t year, int64_t month, int64_t day) {
  DATE first = 0;
  DateFields fields;
  fields.year = int(year);
  fields.month = int(month);
  fields.day = 1;
  if (!DateFromFields(fields, &first)) return -1;
  const double serial = first + double(day - 1);
  return serial < kMarch1900 ? serial - 1 : serial;
}

Civil CivilOf(double serial) {
  const double days = std::floor(serial);
  if (days == 0) return {1900, 1, 0};
  if (days == 60) return {1900, 2, 29};
  DateFields fields;
  FieldsFromDate(days + (days < 60 ? 1 : 0), &fields);
  return {fields.year, fields.month, fields.day};
}

bool SerialToDate(double serial, DateSystem system, DATE* date) {
  if (!(serial >= 0)) return false;
  DATE converted = serial;
  if (system == DateSystem::k1904) {
    converted += k1904Offset;
  } else if (serial >= 60 && serial < kMarch1900) {
    return false;
  } else if (serial >= 1 && serial < 60) {
    converted += 1;
  }
  if (!BeforeTheEnd(converted)) return false;
  *date = converted;
  return true;
}

bool DateToSerial(DATE date, DateSystem system, double* serial) {
  if (date >= 0 && date < 1) {
    *serial = date;
    return true;
  }
  if (!BeforeTheEnd(date)) return false;
  if (system == DateSystem::k1904) {
    if (date < k1904Offset) return false;
    *serial = date - k1904Offset;
    return true;
  }
  if (date < kJanuary1900) return false;
  *serial = date < kMarch1900 ? date - 1 : date;
  return true;
}

}  // namespace ovc::excel::formula
