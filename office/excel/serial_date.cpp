#include "office/excel/serial_date.h"

namespace ovc::excel {

namespace {

// Days from the 1904 system's day 0 to the 1900 system's.
constexpr double k1904Offset = 1462;
// The automation date of 1900-03-01, the first day serials and automation
// dates agree on; and of 1900-01-01.
constexpr double kMarch1900 = 61;
constexpr double kJanuary1900 = 2;

}  // namespace

bool SerialToDate(double serial, DateSystem system, DATE* date) {
  if (!(serial >= 0) || serial > kMaxDateSerial) return false;
  if (system == DateSystem::k1904) {
    *date = serial + k1904Offset;
    return true;
  }
  if (serial >= 60 && serial < kMarch1900) return false;
  *date = serial >= 1 && serial < 60 ? serial + 1 : serial;
  return true;
}

bool DateToSerial(DATE date, DateSystem system, double* serial) {
  if (date >= 0 && date < 1) {
    *serial = date;
    return true;
  }
  if (system == DateSystem::k1904) {
    if (date < k1904Offset || date - k1904Offset > kMaxDateSerial) return false;
    *serial = date - k1904Offset;
    return true;
  }
  if (date < kJanuary1900 || date > kMaxDateSerial) return false;
  *serial = date < kMarch1900 ? date - 1 : date;
  return true;
}

}  // namespace ovc::excel
