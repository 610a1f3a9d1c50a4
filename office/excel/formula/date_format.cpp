#include "office/excel/formula/date_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

#include "automation/text.h"
#include "office/excel/formula/serial_date.h"

namespace ovc::excel::formula {

namespace {

constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> kDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsAsciiNoCase(text.substr(0, prefix.size()), prefix);
}

// One piece of a date format: literal text, or a code letter repeated
// `count` times ('y', 'M' month, 'd', 'h', 'm' minute, 's', 'f' decimals of
// seconds, 'a' AM/PM, 'p' A/P), elapsed when bracketed.
struct Token {
  char code = 0;  // 0: literal
  int count = 0;
  bool elapsed = false;
  bool lower = false;  // am/pm and a/p written in lower case
  std::string literal;
};

// Splits a section into tokens; false when it holds digit placeholders.
bool Tokenize(std::string_view section, std::vector<Token>* tokens) {
  const auto literal = [&](std::string_view text) {
    if (tokens->empty() || tokens->back().code != 0) tokens->emplace_back();
    tokens->back().literal += text;
  };
  for (size_t i = 0; i < section.size(); ++i) {
    const char c = section[i], lower = ToLowerAscii(c);
    if (c == '"') {
      const size_t end = section.find('"', i + 1);
      if (end == std::string_view::npos) return false;
      literal(section.substr(i + 1, end - i - 1));
      i = end;
    } else if ((c == '\\' || c == '_' || c == '*') && i + 1 < section.size()) {
      if (c != '*') literal(c == '\\' ? section.substr(i + 1, 1) : " ");
      ++i;
    } else if (c == '[') {
      const size_t end = section.find(']', i);
      if (end == std::string_view::npos) return false;
      const std::string_view inside = section.substr(i + 1, end - i - 1);
      const char letter = inside.empty() ? 0 : ToLowerAscii(inside[0]);
      if ((letter == 'h' || letter == 'm' || letter == 's') &&
          inside.find_first_not_of(std::string(1, letter) + ToUpperAscii(letter)) ==
              std::string_view::npos) {
        tokens->push_back({letter, int(inside.size()), true, false, {}});
      }
      i = end;
    } else if (StartsWithNoCase(section.substr(i), "am/pm") ||
               StartsWithNoCase(section.substr(i), "a/p")) {
      const bool long_form = StartsWithNoCase(section.substr(i), "am/pm");
      tokens->push_back({long_form ? 'a' : 'p', 1, false, c == 'a', {}});
      i += long_form ? 4 : 2;
    } else if (lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' || lower == 's') {
      size_t end = i;
      while (end < section.size() && ToLowerAscii(section[end]) == lower) ++end;
      tokens->push_back({lower == 'm' ? 'M' : lower, int(end - i), false, false, {}});
      i = end - 1;
    } else if (c == '.' && i + 1 < section.size() && section[i + 1] == '0' && !tokens->empty() &&
               tokens->back().code == 's') {
      size_t end = i + 1;
      while (end < section.size() && section[end] == '0') ++end;
      tokens->push_back({'f', int(std::min<size_t>(end - i - 1, 3)), false, false, {}});
      i = end - 1;
    } else if (c == '0' || c == '#' || c == '?') {
      return false;
    } else {
      literal(section.substr(i, 1));
    }
  }
  return true;
}

// An m or mm after hours or before seconds counts minutes.
void ResolveMinutes(std::vector<Token>* tokens) {
  char previous = 0;
  for (Token& token : *tokens) {
    if (token.code == 'M' && token.count <= 2 && previous == 'h') token.code = 'm';
    if (token.code != 0) previous = token.code;
  }
  char next = 0;
  for (auto it = tokens->rbegin(); it != tokens->rend(); ++it) {
    if (it->code == 'M' && it->count <= 2 && next == 's') it->code = 'm';
    if (it->code != 0) next = it->code;
  }
}

std::string Padded(int64_t number, int width) {
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  const bool negative = number < 0;
  const int length = static_cast<int>(end - digits);
  std::string text(digits, negative ? 1 : 0);
  text.append(static_cast<size_t>(std::max(width - length, 0)), '0');
  text.append(digits + (negative ? 1 : 0), end);
  return text;
}

// The parts of a serial rounded to the precision a format shows.
struct Moment {
  int64_t days;
  int64_t seconds;  // of the day
  int64_t fraction;
  int64_t fraction_scale;
};

Moment MomentOf(double serial, int decimals) {
  const auto scale = int64_t(std::pow(10, decimals));
  const auto units = int64_t(std::llround(serial * 86400.0 * double(scale)));
  const int64_t per_day = 86400 * scale;
  return {units / per_day, units % per_day / scale, units % scale, scale};
}

std::string Piece(const Token& token, const Moment& moment, bool twelve_hours) {
  const Civil civil = CivilOf(double(moment.days));
  const int64_t hour = moment.seconds / 3600;
  switch (token.code) {
    case 'y':
      return token.count <= 2 ? Padded(civil.year % 100, 2) : Padded(civil.year, 4);
    case 'M': {
      const std::string name = kMonths[size_t(civil.month - 1)];
      if (token.count <= 2) return Padded(civil.month, token.count);
      return token.count == 3 ? name.substr(0, 3) : token.count == 4 ? name : name.substr(0, 1);
    }
    case 'd': {
      if (token.count <= 2) return Padded(civil.day, token.count);
      const std::string name = kDays[size_t((moment.days + 6) % 7)];
      return token.count == 3 ? name.substr(0, 3) : name;
    }
    case 'h':
      if (token.elapsed) return Padded(moment.days * 24 + hour, token.count);
      return Padded(twelve_hours ? (hour + 11) % 12 + 1 : hour, std::min(token.count, 2));
    case 'm':
      if (token.elapsed) return Padded((moment.days * 86400 + moment.seconds) / 60, token.count);
      return Padded(moment.seconds / 60 % 60, std::min(token.count, 2));
    case 's':
      if (token.elapsed) return Padded(moment.days * 86400 + moment.seconds, token.count);
      return Padded(moment.seconds % 60, std::min(token.count, 2));
    case 'f':
      return "." + Padded(moment.fraction, token.count);
    default: {
      const bool afternoon = hour >= 12;
      std::string text = token.code == 'a' ? (afternoon ? "PM" : "AM") : (afternoon ? "P" : "A");
      if (token.lower) {
        for (char& c : text) c = ToLowerAscii(c);
      }
      return text;
    }
  }
}

}  // namespace

bool HasDateCodes(std::string_view section) {
  std::vector<Token> tokens;
  Tokenize(section, &tokens);
  for (const Token& token : tokens) {
    if (token.code != 0) return true;
  }
  return false;
}

bool FormatDateTime(double serial, std::string_view section, std::string* text) {
  std::vector<Token> tokens;
  if (!(serial >= 0 && serial < kMaxSerial + 1) || !Tokenize(section, &tokens)) return false;
  ResolveMinutes(&tokens);
  int decimals = 0;
  bool twelve_hours = false;
  for (const Token& token : tokens) {
    if (token.code == 'f') decimals = std::max(decimals, token.count);
    twelve_hours |= token.code == 'a' || token.code == 'p';
  }
  const Moment moment = MomentOf(serial, decimals);
  if (double(moment.days) > kMaxSerial) return false;  // rounded past 9999-12-31
  std::string shown;
  for (const Token& token : tokens) {
    shown += token.code == 0 ? token.literal : Piece(token, moment, twelve_hours);
  }
  *text = std::move(shown);
  return true;
}

namespace {

// The month a name (at least its first three letters) begins; 0 for none.
int MonthNamed(const std::string& name) {
  for (size_t i = 0; i < kMonths.size() && name.size() >= 3; ++i) {
    if (StartsWithNoCase(kMonths[i], name)) return int(i) + 1;
  }
  return 0;
}

// Text in outline: each run of digits becomes 'n' and each run of letters
// 'w' (their text in *parts, in order); other characters stay.
std::string Outline(std::string_view text, std::vector<std::string>* parts) {
  std::string outline;
  for (size_t i = 0; i < text.size();) {
    const auto digit = [&](size_t at) { return IsAsciiDigit(text[at]); };
    const auto letter = [&](size_t at) { return IsAsciiLetter(text[at]); };
    size_t end = i + 1;
    if (digit(i) || letter(i)) {
      const bool digits = digit(i);
      while (end < text.size() && (digits ? digit(end) : letter(end))) ++end;
      outline += digits ? 'n' : 'w';
      parts->emplace_back(text.substr(i, end - i));
    } else {
      outline += text[i];
    }
    i = end;
  }
  return outline;
}

bool IsDay(const std::string& digits) { return digits.size() <= 2; }
bool IsYear(const std::string& digits) { return digits.size() == 2 || digits.size() == 4; }

int64_t FullYear(const std::string& digits) {
  const int64_t year = std::stoll(digits);
  if (digits.size() > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

// The serial of a date, false when the day is not in its month.
bool DateSerial(int64_t year, int64_t month, int64_t day, double* serial) {
  if (month < 1 || month > 12 || day < 1 || year < 1900 || year > 9999) return false;
  if (year == 1900 && month == 2 && day == 29) {
    *serial = 60;
    return true;
  }
  const double value = SerialOf(year, month, day);
  const Civil civil = CivilOf(value);
  if (civil.month != month || civil.day != day) return false;
  *serial = value;
  return true;
}

// Year-month-day, month/day/year, day-month name-year or month name day,
// year.
bool ReadDate(std::string_view text, double* serial) {
  std::vector<std::string> p;
  const std::string outline = Outline(text, &p);
  if (outline == "n-n-n" || outline == "n/n/n") {
    if (p[0].size() == 4 && IsDay(p[1]) && IsDay(p[2])) {
      return DateSerial(std::stoll(p[0]), std::stoll(p[1]), std::stoll(p[2]), serial);
    }
    return IsDay(p[0]) && IsDay(p[1]) && IsYear(p[2]) &&
           DateSerial(FullYear(p[2]), std::stoll(p[0]), std::stoll(p[1]), serial);
  }
  if (outline == "n-w-n" || outline == "n w n") {
    return IsDay(p[0]) && IsYear(p[2]) &&
           DateSerial(FullYear(p[2]), MonthNamed(p[1]), std::stoll(p[0]), serial);
  }
  if (outline == "w n, n" || outline == "w n n") {
    return IsDay(p[1]) && IsYear(p[2]) &&
           DateSerial(FullYear(p[2]), MonthNamed(p[0]), std::stoll(p[1]), serial);
  }
  return false;
}

// The number digits write, with a decimal point or not.
double DecimalNumber(const std::string& text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// Hours and minutes, seconds with decimals, or an hour alone before AM or
// PM (A or P).
bool ReadTime(std::string_view text, double* fraction) {
  std::vector<std::string> p;
  std::string outline = Outline(text, &p);
  std::string meridiem;
  if (!outline.empty() && outline.back() == 'w') {
    meridiem = p.back();
    for (char& c : meridiem) c = ToLowerAscii(c);
    if (meridiem != "am" && meridiem != "pm" && meridiem != "a" && meridiem != "p") return false;
    p.pop_back();
    outline.pop_back();
    if (!outline.empty() && outline.back() == ' ') outline.pop_back();
  }
  if (outline != "n:n" && outline != "n:n:n" && outline != "n:n:n.n" &&
      (outline != "n" || meridiem.empty())) {
    return false;
  }
  for (size_t i = 0; i < p.size(); ++i) {
    if (p[i].size() > (i == 3 ? 9 : 2)) return false;
  }
  double hour = DecimalNumber(p[0]);
  const double minute = p.size() > 1 ? DecimalNumber(p[1]) : 0;
  const double second = p.size() > 2 ? DecimalNumber(p[2] + (p.size() > 3 ? "." + p[3] : "")) : 0;
  if (!meridiem.empty()) {
    if (hour < 1 || hour > 12) return false;
    hour = std::fmod(hour, 12) + (meridiem[0] == 'p' ? 12 : 0);
  }
  if (hour > 23 || minute > 59 || second >= 60) return false;
  *fraction = (hour * 3600 + minute * 60 + second) / 86400;
  return true;
}

}  // namespace

bool ParseDateTime(std::string_view text, double* serial) {
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  if (first == std::string_view::npos || last - first > 64) return false;
  const std::string_view trimmed = text.substr(first, last - first + 1);
  double date = 0, time = 0;
  if (ReadDate(trimmed, &date) || ReadTime(trimmed, &time)) {
    *serial = date + time;
    return true;
  }
  // A date, a blank and a time: the first blank that splits the text so.
  for (size_t blank = trimmed.find(' '); blank != std::string::npos;
       blank = trimmed.find(' ', blank + 1)) {
    if (ReadDate(trimmed.substr(0, blank), &date) && ReadTime(trimmed.substr(blank + 1), &time)) {
      *serial = date + time;
      return true;
    }
  }
  return false;
}

}  // namespace ovc::excel::formula
