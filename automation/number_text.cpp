#include "automation/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "automation/text.h"

namespace ovc {

namespace {

template <class Char>
int32_t LeadingDigits(std::basic_string_view<Char> text, bool* found) {
  size_t i = 0;
  while (i < text.size() && IsBlankOrFeed(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == Char('+') || text[i] == Char('-'))) {
    negative = text[i++] == Char('-');
  }
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  const size_t first_digit = i;
  for (; i < text.size() && IsAsciiDigit(text[i]); ++i) {
    magnitude = std::min(kLimit, magnitude * 10 + (text[i] - Char('0')));
  }
  if (found != nullptr) *found = i > first_digit;
  const int64_t result = negative ? -magnitude : magnitude;
  return static_cast<int32_t>(std::min<int64_t>(result, std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t LeadingInteger(std::string_view text, bool* found) { return LeadingDigits(text, found); }

int32_t LeadingInteger(std::wstring_view text, bool* found) { return LeadingDigits(text, found); }

Decimal ToDecimal(double magnitude, int significant_digits) {
  char buffer[64];
  char* const end = buffer + sizeof buffer;
  const std::to_chars_result written =
      significant_digits == 0 ? std::to_chars(buffer, end, magnitude, std::chars_format::scientific)
                              : std::to_chars(buffer, end, magnitude, std::chars_format::scientific,
                                              significant_digits - 1);
  // "d.ddde+XX" or "de-XXX"
  const std::string_view text(buffer, static_cast<size_t>(written.ptr - buffer));
  const size_t e = text.find('e');
  Decimal decimal;
  decimal.digits = text.substr(0, 1);
  if (e > 1) decimal.digits += text.substr(2, e - 2);
  decimal.digits.erase(decimal.digits.find_last_not_of('0') + 1);
  std::string_view exponent = text.substr(e + 1);
  if (exponent.front() == '+') exponent.remove_prefix(1);
  std::from_chars(exponent.data(), exponent.data() + exponent.size(), decimal.exponent);
  return decimal;
}

namespace {

// How a form writes numbers. `significant_digits` 0 means the shortest
// digits that read back exactly.
struct NumberStyle {
  int significant_digits;
  int plain_exponent_limit;  // plain digits while the exponent is below it
  bool signed_zero;          // "-0" for negative zero
};

constexpr NumberStyle kDoubleStyle{15, 15, false};
constexpr NumberStyle kFloatStyle{7, 7, false};
constexpr NumberStyle kRoundTripStyle{0, 15, true};

std::string Layout(const Decimal& decimal, int plain_exponent_limit) {
  const std::string& digits = decimal.digits;
  const int exponent = decimal.exponent;
  if (exponent >= -4 && exponent < plain_exponent_limit) {
    if (exponent < 0) return "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    const size_t integer_digits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= integer_digits) {
      return digits + std::string(integer_digits - digits.size(), '0');
    }
    return digits.substr(0, integer_digits) + "." + digits.substr(integer_digits);
  }
  std::string text = digits.substr(0, 1);
  if (digits.size() > 1) text += "." + digits.substr(1);
  text += exponent < 0 ? "E-" : "E+";
  const int magnitude = std::abs(exponent);
  if (magnitude < 10) text += '0';
  return text + std::to_string(magnitude);
}

std::wstring NumberText(double value, const NumberStyle& style) {
  if (std::isnan(value)) return L"NaN";
  if (std::isinf(value)) return value < 0 ? L"-Infinity" : L"Infinity";
  if (value == 0) return style.signed_zero && std::signbit(value) ? L"-0" : L"0";
  const std::string text =
      (value < 0 ? "-" : "") +
      Layout(ToDecimal(std::fabs(value), style.significant_digits), style.plain_exponent_limit);
  return std::wstring(text.begin(), text.end());
}

}  // namespace

std::wstring FixedPointText(int64_t value, int decimals) {
  // The magnitude as unsigned, so that INT64_MIN has one too.
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
  char buffer[24];
  const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
  std::string digits(buffer, written.ptr);
  const size_t width = static_cast<size_t>(decimals) + 1;
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  digits.insert(digits.size() - static_cast<size_t>(decimals), ".");
  digits.erase(digits.find_last_not_of('0') + 1);
  if (digits.back() == '.') digits.pop_back();
  if (value < 0) digits.insert(0, "-");
  return std::wstring(digits.begin(), digits.end());
}

std::wstring DoubleToText(double value) { return NumberText(value, kDoubleStyle); }

std::wstring FloatToText(float value) { return NumberText(value, kFloatStyle); }

std::wstring DoubleToRoundTripText(double value) { return NumberText(value, kRoundTripStyle); }

}  // namespace ovc
