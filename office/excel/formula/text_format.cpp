#include "office/excel/formula/text_format.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "automation/text.h"
#include "office/excel/formula/date_format.h"
#include "office/excel/formula/decimal.h"

namespace ovc::excel::formula {

namespace {

// One section of a number format code, read.
struct Pattern {
  std::string prefix;  // literals before the first digit placeholder
  std::string suffix;  // literals after it
  bool has_digits = false;
  bool has_point = false;
  int integer_zeros = 0;
  int decimals = 0;
  int decimal_zeros = 0;
  bool grouping = false;
  bool percent = false;
  bool exponent = false;
  bool exponent_plus = false;
  int exponent_digits = 0;
};

bool IsDateCode(char c) {
  const char lower = ToLowerAscii(c);
  return lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' || lower == 's';
}

void Placeholder(char c, Pattern* p) {
  if (p->exponent) {
    ++p->exponent_digits;
  } else if (p->has_point) {
    ++p->decimals;
    p->decimal_zeros += c == '0';
  } else {
    p->integer_zeros += c == '0';
  }
  p->has_digits = true;
}

// Reads one section; false for codes this formatter does not support.
bool ReadPattern(std::string_view code, Pattern* p) {
  for (size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    std::string& literal = p->has_digits ? p->suffix : p->prefix;
    if (c == '"') {
      const size_t end = code.find('"', i + 1);
      if (end == std::string_view::npos) return false;
      literal += code.substr(i + 1, end - i - 1);
      i = end;
    } else if ((c == '\\' || c == '_' || c == '*') && i + 1 < code.size()) {
      if (c != '*') literal += c == '\\' ? code[i + 1] : ' ';
      ++i;
    } else if (c == '[') {
      const size_t end = code.find(']', i);
      if (end == std::string_view::npos) return false;
      i = end;
    } else if (c == '0' || c == '#' || c == '?') {
      Placeholder(c, p);
    } else if (c == '.' && !p->exponent) {
      p->has_point = true;
    } else if (c == ',') {
      p->grouping |= p->has_digits && !p->has_point;
    } else if ((c == 'E' || c == 'e') && i + 1 < code.size() &&
               (code[i + 1] == '+' || code[i + 1] == '-')) {
      p->exponent = true;
      p->exponent_plus = code[++i] == '+';
    } else if (IsDateCode(c)) {
      return false;
    } else {
      p->percent |= c == '%';
      literal += c;
    }
  }
  return true;
}

std::vector<std::string_view> Sections(std::string_view code) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < code.size(); ++i) {
    if (code[i] == '"') quoted = !quoted;
    if (code[i] == ';' && !quoted) {
      sections.push_back(code.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(code.substr(start));
  return sections;
}

std::string Grouped(const std::string& digits) {
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

// The digits of a non-negative number: integer part and decimals.
std::string Digits(double number, const Pattern& p) {
  const double rounded = RoundDecimal(number, p.decimals, Rounding::kHalfAwayFromZero);
  std::string all(size_t(std::log10(rounded + 1) + p.decimals + 8), '\0');
  const auto written = std::to_chars(all.data(), all.data() + all.size(), rounded,
                                     std::chars_format::fixed, p.decimals);
  all.resize(size_t(written.ptr - all.data()));
  const size_t point = all.find('.');
  std::string integer = all.substr(0, point);
  std::string decimals = point == std::string::npos ? "" : all.substr(point + 1);
  if (integer == "0" && p.integer_zeros == 0) integer.clear();
  if (int(integer.size()) < p.integer_zeros) {
    integer.insert(0, size_t(p.integer_zeros) - integer.size(), '0');
  }
  if (p.grouping) integer = Grouped(integer);
  while (int(decimals.size()) > p.decimal_zeros && decimals.back() == '0') decimals.pop_back();
  return integer + (p.has_point ? "." + decimals : "");
}

std::string Scientific(double number, const Pattern& p) {
  const int shift = std::max(p.integer_zeros, 1) - 1;
  int exponent = number == 0 ? 0 : int(std::floor(std::log10(number))) - shift;
  double mantissa = number / std::pow(10.0, exponent);
  if (RoundDecimal(mantissa, p.decimals, Rounding::kHalfAwayFromZero) >=
      std::pow(10.0, shift + 1)) {
    ++exponent;
    mantissa /= 10;
  }
  std::string digits = std::to_string(std::abs(exponent));
  if (int(digits.size()) < p.exponent_digits) {
    digits.insert(0, size_t(p.exponent_digits) - digits.size(), '0');
  }
  const char* sign = exponent < 0 ? "-" : p.exponent_plus ? "+" : "";
  return Digits(mantissa, p) + "E" + sign + digits;
}

}  // namespace

Value FormatWithCode(const Value& value, std::string_view code, double date_offset) {
  double number = 0;
  if (value.is_text() && !ParseNumber(value.text(), &number)) {
    if (!ParseDateTime(value.text(), &number)) return value;
    number -= date_offset;
  }
  if (!value.is_number() && !value.is_text()) return ToText(value);
  if (value.is_number()) number = value.number();
  if (code.empty() || code == "General" || code == "general") {
    return Value::Text(FormatGeneral(number));
  }
  if (code == "@") return ToText(value);
  const std::vector<std::string_view> sections = Sections(code);
  size_t section = 0;
  bool minus = number < 0;
  if (number < 0 && sections.size() >= 2) {
    section = 1;
    minus = false;
  } else if (number == 0 && sections.size() >= 3) {
    section = 2;
  }
  if (HasDateCodes(sections[section])) {
    std::string text;
    if (number < 0 || !FormatDateTime(number + date_offset, sections[section], &text)) {
      return Value::Error(ErrorCode::kValue);
    }
    return Value::Text(std::move(text));
  }
  Pattern p;
  if (!ReadPattern(sections[section], &p)) return Value::Error(ErrorCode::kValue);
  const double magnitude = std::fabs(number) * (p.percent ? 100 : 1);
  if (!std::isfinite(magnitude) || magnitude >= 1e300) return Value::Error(ErrorCode::kValue);
  if (!p.has_digits) return Value::Text((minus ? "-" : "") + p.prefix);
  const std::string digits = p.exponent ? Scientific(magnitude, p) : Digits(magnitude, p);
  minus &= digits.find_first_not_of("0.,E+-") != std::string::npos;
  return Value::Text((minus ? "-" : "") + p.prefix + digits + p.suffix);
}

}  // namespace ovc::excel::formula
