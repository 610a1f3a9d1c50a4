#pragma once

#include <string>
#include <string_view>

namespace ovc::excel::formula {

// True when one section of a number format code shows a date or time: it
// holds y, m, d, h or s codes, AM/PM or an elapsed-time bracket ([h], [mm],
// [ss]) outside quoted and escaped text.
bool HasDateCodes(std::string_view section);

// `serial` (a serial number of the 1900 date system) shown with one section
// of a date or time format code, in English: years (yy, yyyy), months (m, mm,
// mmm, mmmm, mmmmm; m after h or before s is minutes), days (d, dd, ddd,
// dddd), hours, minutes and seconds with decimals (ss.00), AM/PM and A/P,
// elapsed [h], [mm] and [ss], and literals. The time is rounded to the
// precision shown. False, *text untouched, for a negative serial, one past
// 9999-12-31 or a section that also holds digit placeholders.
bool FormatDateTime(double serial, std::string_view section, std::string* text);

// Reads text as VALUE reads a date, a time or both, in English and in
// month/day/year order: "2024-03-01", "3/1/2024", "1-Mar-2024",
// "March 1, 2024", "13:45", "1:45:30.5 PM", "3/1/24 8:00". On success sets
// *serial, a serial number of the 1900 date system (a time alone is a
// fraction of a day); false for other text.
bool ParseDateTime(std::string_view text, double* serial);

}  // namespace ovc::excel::formula
