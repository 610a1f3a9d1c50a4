#include "automation/date.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

#include "automation/text.h"

namespace ovc {

namespace {

// Day numbers of the first and last dates automation dates can hold
// (0100-01-01 and 9999-12-31).
constexpr int64_t kFirstDay = -657434;
constexpr int64_t kLastDay = 2958465;
// 1899-12-30, day 0 of automation dates, counted from 1970-01-01.
constexpr int64_t kEpochOffset = 25569;
constexpr int64_t kMillisecondsPerDay = 86400000;
constexpr int64_t kSecondsPerDay = 86400;

struct CivilDate {
  int year;
  int month;
  int day;
};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

CivilDate CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t shifted_month = (5 * day_of_year + 2) / 153;
  const int64_t month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
  const int64_t day = day_of_year - (153 * shifted_month + 2) / 5 + 1;
  return {static_cast<int>(year_of_era + era * 400 + (month <= 2)), static_cast<int>(month),
          static_cast<int>(day)};
}

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kLengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kLengths[static_cast<size_t>(month - 1)];
}

// Splits a date into its day number and the time of day counted in
// `units_per_day`, rounded to the nearest unit. False outside the years
// 100..9999.
bool SplitDate(DATE date, int64_t units_per_day, int64_t* day, int64_t* units) {
  if (!(date > static_cast<double>(kFirstDay - 1) && date < static_cast<double>(kLastDay + 1))) {
    return false;
  }
  const double whole = std::trunc(date);
  int64_t time = std::llround(std::fabs(date - whole) * static_cast<double>(units_per_day));
  int64_t day_number = static_cast<int64_t>(whole);
  if (time >= units_per_day) {
    time -= units_per_day;
    ++day_number;
  }
  if (day_number < kFirstDay || day_number > kLastDay) return false;
  *day = day_number;
  *units = time;
  return true;
}

// The pieces of a date or time text: numbers, words and the separators
// "/", "-", ":" and "."; blanks and commas only separate.
struct Token {
  enum Kind { kNumber, kWord, kSeparator } kind;
  std::wstring_view text;
  int value = 0;
};

bool Tokenize(std::wstring_view text, std::vector<Token>* tokens) {
  size_t i = 0;
  while (i < text.size()) {
    const wchar_t c = text[i];
    const size_t begin = i;
    if (c == L' ' || c == L'\t' || c == L',') {
      ++i;
    } else if (IsAsciiDigit(c)) {
      int value = 0;
      while (i < text.size() && IsAsciiDigit(text[i])) {
        if (i - begin >= 9) return false;
        value = value * 10 + (text[i++] - L'0');
      }
      tokens->push_back({Token::kNumber, text.substr(begin, i - begin), value});
    } else if (IsAsciiLetter(c)) {
      while (i < text.size() && IsAsciiLetter(text[i])) ++i;
      tokens->push_back({Token::kWord, text.substr(begin, i - begin)});
    } else if (c == L'/' || c == L'-' || c == L':' || c == L'.') {
      tokens->push_back({Token::kSeparator, text.substr(i++, 1)});
    } else {
      return false;
    }
  }
  return true;
}

bool IsSeparator(const std::vector<Token>& tokens, size_t i, wchar_t separator) {
  return i < tokens.size() && tokens[i].kind == Token::kSeparator && tokens[i].text[0] == separator;
}

bool IsNumber(const std::vector<Token>& tokens, size_t i) {
  return i < tokens.size() && tokens[i].kind == Token::kNumber;
}

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Reads "H:MM", "H:MM:SS" or "H:MM:SS.fff", then an optional AM/PM, from
// tokens[*i]; on success advances *i past them.
bool ReadTime(const std::vector<Token>& tokens, size_t* i, TimeOfDay* time) {
  size_t at = *i;
  if (!IsNumber(tokens, at) || !IsSeparator(tokens, at + 1, L':') || !IsNumber(tokens, at + 2)) {
    return false;
  }
  time->hour = tokens[at].value;
  time->minute = tokens[at + 2].value;
  at += 3;
  if (IsSeparator(tokens, at, L':') && IsNumber(tokens, at + 1)) {
    time->second = tokens[at + 1].value;
    at += 2;
    if (IsSeparator(tokens, at, L'.') && IsNumber(tokens, at + 1)) {
      const std::wstring_view digits = tokens[at + 1].text;
      if (digits.size() > 3) return false;
      time->millisecond = tokens[at + 1].value * (digits.size() == 1   ? 100
                                                  : digits.size() == 2 ? 10
                                                                       : 1);
      at += 2;
    }
  }
  if (at < tokens.size() && tokens[at].kind == Token::kWord) {
    const std::wstring marker = ToUpper(tokens[at].text);
    const bool pm = marker == L"PM" || marker == L"P";
    if (pm || marker == L"AM" || marker == L"A") {
      if (time->hour < 1 || time->hour > 12) return false;
      time->hour = time->hour % 12 + (pm ? 12 : 0);
      ++at;
    }
  }
  *i = at;
  return true;
}

// 1 to 12 for a month's English name or its first three letters ("Sept" too).
int MonthFromName(std::wstring_view word) {
  static constexpr std::array<std::wstring_view, 12> kNames = {
      L"january", L"february", L"march",     L"april",   L"may",      L"june",
      L"july",    L"august",   L"september", L"october", L"november", L"december"};
  const std::wstring lower = ToLower(word);
  for (size_t m = 0; m < kNames.size(); ++m) {
    if (lower == kNames[m] || lower == kNames[m].substr(0, 3) || (m == 8 && lower == L"sept")) {
      return static_cast<int>(m + 1);
    }
  }
  return 0;
}

// A year as written: one or two digits follow the two-digit-year rule
// (00-29 are 2000-2029, 30-99 are 1930-1999).
int YearFromToken(const Token& token) {
  if (token.text.size() > 2) return token.value;
  return token.value + (token.value < 30 ? 2000 : 1900);
}

// Reads the date part: "M/D/Y", "Y/M/D", "Y-M-D", "M-D-Y", "Mon D Y",
// "D Mon Y" or "D-Mon-Y".
bool ReadCalendarDate(const std::vector<Token>& tokens, DateFields* fields) {
  std::wstring shape;
  for (const Token& token : tokens) {
    shape += token.kind == Token::kNumber ? L'N'
             : token.kind == Token::kWord ? L'W'
                                          : token.text[0];
  }
  if (shape == L"N/N/N" || shape == L"N-N-N") {
    if (tokens[0].text.size() >= 3) {
      fields->year = tokens[0].value;
      fields->month = tokens[2].value;
      fields->day = tokens[4].value;
    } else {
      fields->month = tokens[0].value;
      fields->day = tokens[2].value;
      fields->year = YearFromToken(tokens[4]);
    }
    return true;
  }
  if (shape == L"WNN") {
    fields->month = MonthFromName(tokens[0].text);
    fields->day = tokens[1].value;
    fields->year = YearFromToken(tokens[2]);
    return fields->month != 0;
  }
  if (shape == L"NWN" || shape == L"N-W-N") {
    const size_t step = shape.size() == 3 ? 1 : 2;
    fields->day = tokens[0].value;
    fields->month = MonthFromName(tokens[step].text);
    fields->year = YearFromToken(tokens[2 * step]);
    return fields->month != 0;
  }
  return false;
}

std::wstring TwoDigits(int64_t value) {
  return std::wstring{static_cast<wchar_t>(L'0' + value / 10),
                      static_cast<wchar_t>(L'0' + value % 10)};
}

// "1:45:30 PM" for a time of day in seconds.
std::wstring FormatTime(int64_t seconds) {
  const int64_t hour = seconds / 3600;
  return std::to_wstring(hour % 12 == 0 ? 12 : hour % 12) + L':' + TwoDigits(seconds / 60 % 60) +
         L':' + TwoDigits(seconds % 60) + (hour < 12 ? L" AM" : L" PM");
}

}  // namespace

bool DateFromFields(const DateFields& fields, DATE* date) {
  if (fields.year < 100 || fields.year > 9999 || fields.month < 1 || fields.month > 12 ||
      fields.day < 1 || fields.day > DaysInMonth(fields.year, fields.month) || fields.hour < 0 ||
      fields.hour > 23 || fields.minute < 0 || fields.minute > 59 || fields.second < 0 ||
      fields.second > 59 || fields.millisecond < 0 || fields.millisecond > 999) {
    return false;
  }
  const int64_t day = DaysFromCivil(fields.year, fields.month, fields.day) + kEpochOffset;
  const int64_t milliseconds =
      ((int64_t{fields.hour} * 60 + fields.minute) * 60 + fields.second) * 1000 +
      fields.millisecond;
  const double time = static_cast<double>(milliseconds) / kMillisecondsPerDay;
  *date = day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
  return true;
}

bool FieldsFromDate(DATE date, DateFields* fields) {
  int64_t day = 0;
  int64_t milliseconds = 0;
  if (!SplitDate(date, kMillisecondsPerDay, &day, &milliseconds)) return false;
  const CivilDate civil = CivilFromDays(day - kEpochOffset);
  fields->year = civil.year;
  fields->month = civil.month;
  fields->day = civil.day;
  fields->hour = static_cast<int>(milliseconds / 3600000);
  fields->minute = static_cast<int>(milliseconds / 60000 % 60);
  fields->second = static_cast<int>(milliseconds / 1000 % 60);
  fields->millisecond = static_cast<int>(milliseconds % 1000);
  return true;
}

bool ParseDate(std::wstring_view text, DATE* date) {
  std::vector<Token> tokens;
  if (!Tokenize(text, &tokens) || tokens.empty()) return false;
  // The time is either the whole text, its end or its beginning.
  TimeOfDay time;
  bool has_time = false;
  for (size_t start = 0; start < tokens.size() && !has_time; ++start) {
    size_t end = start;
    if (!ReadTime(tokens, &end, &time)) continue;
    if (start != 0 && end != tokens.size()) return false;
    tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(start),
                 tokens.begin() + static_cast<std::ptrdiff_t>(end));
    has_time = true;
  }
  // "2020-12-25T13:45" separates date and time with a "T".
  if (has_time && !tokens.empty() && tokens.back().kind == Token::kWord &&
      (tokens.back().text == L"T" || tokens.back().text == L"t")) {
    tokens.pop_back();
  }
  DateFields fields;
  if (!tokens.empty() && !ReadCalendarDate(tokens, &fields)) return false;
  fields.hour = time.hour;
  fields.minute = time.minute;
  fields.second = time.second;
  fields.millisecond = time.millisecond;
  return DateFromFields(fields, date);
}

std::wstring FormatDate(DATE date) {
  int64_t day = 0;
  int64_t seconds = 0;
  if (!SplitDate(date, kSecondsPerDay, &day, &seconds)) return {};
  // Day 0 stands for a time alone; midnight stands for a date alone.
  if (day == 0) return FormatTime(seconds);
  const CivilDate civil = CivilFromDays(day - kEpochOffset);
  std::wstring text = std::to_wstring(civil.month) + L'/' + std::to_wstring(civil.day) + L'/' +
                      std::to_wstring(civil.year);
  if (seconds != 0) text += L' ' + FormatTime(seconds);
  return text;
}

int ReadIsoDateTimeFields(std::string_view text, int max_fields, DateFields* fields,
                          size_t* consumed) {
  struct Field {
    int DateFields::*member;
    char separator;  // before the field
    size_t width;
  };
  static constexpr Field kFields[] = {{&DateFields::year, 0, 4},     {&DateFields::month, '-', 2},
                                      {&DateFields::day, '-', 2},    {&DateFields::hour, 'T', 2},
                                      {&DateFields::minute, ':', 2}, {&DateFields::second, ':', 2}};
  size_t position = 0;
  int read = 0;
  for (; read < max_fields && read < static_cast<int>(std::size(kFields)); ++read) {
    const Field& field = kFields[read];
    size_t start = position;
    if (field.separator != 0) {
      if (start >= text.size() || text[start] != field.separator) break;
      ++start;
    }
    size_t end = start;
    while (end < text.size() && end - start < field.width && IsAsciiDigit(text[end])) ++end;
    if (end == start) break;
    std::from_chars(text.data() + start, text.data() + end, fields->*field.member);
    position = end;
  }
  *consumed = position;
  return read;
}

}  // namespace ovc
