#pragma once

#include <string>
#include <string_view>

#include "automation/variant.h"

namespace ovc {

// Calendar fields of an automation date.
struct DateFields {
  int year = 1899;  // 100 to 9999
  int month = 12;   // 1 to 12
  int day = 30;     // 1 to the month's length
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  friend bool operator==(const DateFields&, const DateFields&) = default;
};

// The automation date for the fields. False, leaving *date unchanged, for
// fields out of range (years outside 100..9999, month 13, February 30, ...).
bool DateFromFields(const DateFields& fields, DATE* date);

// The fields of an automation date, rounded to the millisecond. Dates before
// 1899-12-30 keep the time of day as a positive fraction, as automation dates
// do (-1.25 is 1899-12-29 06:00). False for dates outside years 100..9999.
bool FieldsFromDate(DATE date, DateFields* fields);

// Reads from the start of `text` the fields of an ISO 8601 date and time
// "YYYY-MM-DDThh:mm:ss", in that order and at most `max_fields` of them, each
// one to four (the year) or one to two digits. Returns how many fields were
// read before the text ended or differed, and sets *consumed to the length
// they took. Fields not read keep their values.
int ReadIsoDateTimeFields(std::string_view text, int max_fields, DateFields* fields,
                          size_t* consumed);

// Text to date and date to text, as VariantChangeType does them.
// ParseDate leaves *date unchanged on failure; FormatDate gives "" for a
// date outside the years 100..9999.
bool ParseDate(std::wstring_view text, DATE* date);
std::wstring FormatDate(DATE date);

}  // namespace ovc
