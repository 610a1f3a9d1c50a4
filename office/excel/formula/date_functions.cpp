#include <cmath>
#include <cstdint>
#include <span>
#include <string>

#include "automation/text.h"
#include "office/excel/formula/function_support.h"
#include "office/excel/formula/function_table.h"
#include "office/excel/formula/serial_date.h"

namespace ovc::excel::formula {

namespace {

using Scalars = std::span<const Value>;

// The date argument: a serial of the workbook's date system from its day 0
// to 9999-12-31, moved by `offset` into the 1900 system's count.
bool ReadSerial(const Value& value, double offset, double* serial, Value* error) {
  const Value number = ToNumber(value);
  if (number.is_error()) {
    *error = number;
    return false;
  }
  if (number.number() < 0 || number.number() + offset > kMaxSerial) {
    *error = Value::Error(ErrorCode::kNum);
    return false;
  }
  *serial = number.number() + offset;
  return true;
}

// The serial of a year, month and day, months past 12 or below 1 counting
// into other years, in the date system whose serials lie `offset` days
// after the 1900 system's.
Value DateValue(int64_t year, int64_t month, int64_t day, double offset = 0) {
  const int64_t months = year * 12 + month - 1;
  const int64_t y = months >= 0 ? months / 12 : (months - 11) / 12;
  const double serial = SerialOf(y, months - y * 12 + 1, day);
  if (serial < offset || serial > kMaxSerial) return Value::Error(ErrorCode::kNum);
  return Value::Number(serial - offset);
}

Value Date(Scalars a) {
  const double offset = TakeDateOffset(&a);
  double x[3];
  Value error;
  if (!ReadNumbers(a, x, 3, &error)) return error;
  double year = std::trunc(x[0]);
  if (year < 0 || year >= 10000) return Value::Error(ErrorCode::kNum);
  if (year < 1900) year += 1900;
  if (std::fabs(x[1]) > 1e6 || std::fabs(x[2]) > 1e8) return Value::Error(ErrorCode::kNum);
  return DateValue(int64_t(year), int64_t(std::trunc(x[1])), int64_t(std::trunc(x[2])), offset);
}

Value Time(Scalars a) {
  double x[3];
  Value error;
  if (!ReadNumbers(a, x, 3, &error)) return error;
  const double seconds = std::trunc(x[0]) * 3600 + std::trunc(x[1]) * 60 + std::trunc(x[2]);
  if (seconds < 0 || seconds > 1e15) return Value::Error(ErrorCode::kNum);
  return Value::Number(std::fmod(seconds, 86400) / 86400);
}

enum class Part { kYear, kMonth, kDay, kHour, kMinute, kSecond };

template <Part P>
Value PartOf(Scalars a) {
  const double offset = TakeDateOffset(&a);
  double serial = 0;
  Value error;
  if (!ReadSerial(a[0], offset, &serial, &error)) return error;
  if (P == Part::kYear || P == Part::kMonth || P == Part::kDay) {
    const Civil civil = CivilOf(serial);
    return Value::Number(double(P == Part::kYear    ? civil.year
                                : P == Part::kMonth ? civil.month
                                                    : civil.day));
  }
  const auto seconds = int64_t(std::round((serial - std::floor(serial)) * 86400)) % 86400;
  return Value::Number(double(P == Part::kHour     ? seconds / 3600
                              : P == Part::kMinute ? seconds / 60 % 60
                                                   : seconds % 60));
}

// EDATE and EOMONTH: a date some months on, the same day (at most the
// month's last) or the month's last day.
template <bool kEndOfMonth>
Value MonthsOn(Scalars a) {
  const double offset = TakeDateOffset(&a);
  double serial = 0, months = 0;
  Value error;
  if (!ReadSerial(a[0], offset, &serial, &error) ||
      !ReadNumbers(a.subspan(1), &months, 1, &error)) {
    return error;
  }
  if (std::fabs(months) > 120000) return Value::Error(ErrorCode::kNum);
  const Civil civil = CivilOf(serial);
  const Value first_of_next =
      DateValue(civil.year, civil.month + int64_t(std::trunc(months)) + 1, 1);
  if (first_of_next.is_error()) return first_of_next;
  const double last_day = CivilOf(first_of_next.number() - 1).day;
  const double day = kEndOfMonth ? last_day : std::min<double>(double(civil.day), last_day);
  const double result = first_of_next.number() - 1 - (last_day - day) - offset;
  return result < 0 ? Value::Error(ErrorCode::kNum) : Value::Number(result);
}

Value Weekday(Scalars a) {
  const double offset = TakeDateOffset(&a);
  double serial = 0, type = 1;
  Value error;
  if (!ReadSerial(a[0], offset, &serial, &error)) return error;
  if (a.size() > 1 && !ReadNumbers(a.subspan(1), &type, 1, &error)) return error;
  const auto sunday_based = int64_t(std::floor(serial) + 6) % 7;  // 0: Sunday
  switch (int(type)) {
    case 1:
      return Value::Number(double(sunday_based + 1));
    case 2:
      return Value::Number(double((sunday_based + 6) % 7 + 1));
    case 3:
      return Value::Number(double((sunday_based + 6) % 7));
    default:
      return Value::Error(ErrorCode::kNum);
  }
}

// DATEDIF: whole years ("Y"), months ("M") or days ("D") between two dates,
// or the days ("MD") or months ("YM") beyond whole months or years, or the
// days beyond whole years ("YD").
Value DateDif(Scalars a) {
  const double offset = TakeDateOffset(&a);
  double start = 0, end = 0;
  Value error;
  if (!ReadSerial(a[0], offset, &start, &error) || !ReadSerial(a[1], offset, &end, &error)) {
    return error;
  }
  const Value unit_text = ToText(a[2]);
  if (unit_text.is_error()) return unit_text;
  if (start > end) return Value::Error(ErrorCode::kNum);
  const std::string unit = ToUtf8(ToUpper(FromUtf8(unit_text.text())));
  const Civil s = CivilOf(start), e = CivilOf(end);
  const int64_t months = (e.year - s.year) * 12 + e.month - s.month - (e.day < s.day ? 1 : 0);
  if (unit == "D") return Value::Number(std::floor(end) - std::floor(start));
  if (unit == "M") return Value::Number(double(months));
  if (unit == "Y") return Value::Number(double(months / 12));
  if (unit == "YM") return Value::Number(double(months % 12));
  if (unit == "MD") {
    const Value month_start = DateValue(e.year, e.month - (e.day < s.day ? 1 : 0), s.day);
    return month_start.is_error() ? month_start
                                  : Value::Number(std::floor(end) - month_start.number());
  }
  if (unit == "YD") {
    Value anniversary = DateValue(e.year, s.month, s.day);
    if (!anniversary.is_error() && anniversary.number() > std::floor(end)) {
      anniversary = DateValue(e.year - 1, s.month, s.day);
    }
    return anniversary.is_error() ? anniversary
                                  : Value::Number(std::floor(end) - anniversary.number());
  }
  return Value::Error(ErrorCode::kNum);
}

template <bool kWithTime>
Operand Now(const Arguments& a) {
  const double now = a.context().view->Now() - a.context().view->DateOffset();
  return Value::Number(kWithTime ? now : std::floor(now));
}

// clang-format off
const FunctionSpec kDateFunctions[] = {
    {"DATE", 3, 3, kDated, Date, nullptr},
    {"TIME", 3, 3, 0, Time, nullptr},
    {"YEAR", 1, 1, kDated, PartOf<Part::kYear>, nullptr},
    {"MONTH", 1, 1, kDated, PartOf<Part::kMonth>, nullptr},
    {"DAY", 1, 1, kDated, PartOf<Part::kDay>, nullptr},
    {"HOUR", 1, 1, kDated, PartOf<Part::kHour>, nullptr},
    {"MINUTE", 1, 1, kDated, PartOf<Part::kMinute>, nullptr},
    {"SECOND", 1, 1, kDated, PartOf<Part::kSecond>, nullptr},
    {"EDATE", 2, 2, kDated, MonthsOn<false>, nullptr},
    {"EOMONTH", 2, 2, kDated, MonthsOn<true>, nullptr},
    {"WEEKDAY", 1, 2, kDated, Weekday, nullptr},
    {"DATEDIF", 3, 3, kDated, DateDif, nullptr},
    {"TODAY", 0, 0, kVolatile, nullptr, Now<false>},
    {"NOW", 0, 0, kVolatile, nullptr, Now<true>},
};
// clang-format on

}  // namespace

std::span<const FunctionSpec> DateFunctions() { return kDateFunctions; }

}  // namespace ovc::excel::formula
