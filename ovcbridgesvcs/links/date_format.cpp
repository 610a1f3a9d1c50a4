#include "ovcbridgesvcs/links/date_format.h"

#include <locale.h>
#include <wchar.h>

#include <ctime>

#include "automation/date.h"

namespace ovc::links {

namespace {

constexpr std::wstring_view kAllowed = L"aAbBhCdemyYjuwDFHIMSpnt%";

bool OnlyAllowedConversions(std::wstring_view format) {
  for (size_t at = format.find(L'%'); at != std::wstring_view::npos;
       at = format.find(L'%', at + 2)) {
    if (at + 1 == format.size() || kAllowed.find(format[at + 1]) == std::wstring_view::npos) {
      return false;
    }
  }
  return true;
}

// 0 for Sunday, for a date of the Gregorian calendar.
int DayOfWeek(int year, int month, int day) {
  static constexpr int kMonthOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) --year;
  return (year + year / 4 - year / 100 + year / 400 + kMonthOffset[month - 1] + day) % 7;
}

// The "C" locale, whose English names %a, %b and %p write whatever locale
// the process runs in.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

}  // namespace

std::optional<std::wstring> FormatDateText(std::wstring_view format, DATE date) {
  DateFields fields;
  if (!OnlyAllowedConversions(format) || !FieldsFromDate(date, &fields)) return std::nullopt;
  std::tm calendar{};
  calendar.tm_year = fields.year - 1900;
  calendar.tm_mon = fields.month - 1;
  calendar.tm_mday = fields.day;
  calendar.tm_wday = DayOfWeek(fields.year, fields.month, fields.day);
  const std::wstring pattern(format);
  std::wstring text(kMaxDateText + 1, L'\0');
  const size_t written =
      wcsftime_l(text.data(), text.size(), pattern.c_str(), &calendar, CLocale());
  if (written == 0) return std::nullopt;
  text.resize(written);
  return text;
}

}  // namespace ovc::links
