#include "office/excel/formula/civil_date.h"

#include <cmath>

#include "automation/date.h"

namespace ovc::excel::formula {

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
  return serial < 61 ? serial - 1 : serial;
}

Civil CivilOf(double serial) {
  const double days = std::floor(serial);
  if (days == 0) return {1900, 1, 0};
  if (days == 60) return {1900, 2, 29};
  DateFields fields;
  FieldsFromDate(days + (days < 60 ? 1 : 0), &fields);
  return {fields.year, fields.month, fields.day};
}

}  // namespace ovc::excel::formula
