#include "ovcbridgesvcs/links/floating_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "automation/text.h"

namespace ovc::links {

namespace {

constexpr std::wstring_view kFlags = L"-+ #0";
constexpr std::wstring_view kConversions = L"fFeEgGaA";
constexpr size_t kMaxFlags = 5;
constexpr int kDefaultPrecision = 6;

// One floating conversion of a format, as printf reads it.
struct Conversion {
  std::wstring flags;  // of kFlags
  int width = -1;      // -1: none
  int precision = -1;  // -1: none
  char letter = 'f';   // of kConversions

  bool Has(wchar_t flag) const { return flags.find(flag) != std::wstring::npos; }
};

// Reads up to three decimal digits at *at; -1 when there are none, a value
// above `limit` when there are too many.
int Digits(std::wstring_view text, size_t* at, int limit) {
  int value = -1;
  while (*at < text.size() && IsAsciiDigit(text[*at])) {
    value = (value < 0 ? 0 : value) * 10 + (text[*at] - L'0');
    ++*at;
    if (value > limit) return limit + 1;
  }
  return value;
}

// The conversion starting after the "%" at `at`, with *at moved past it;
// nullopt when it is not an accepted one.
std::optional<Conversion> ReadConversion(std::wstring_view format, size_t* at) {
  Conversion conversion;
  while (*at < format.size() && kFlags.find(format[*at]) != std::wstring_view::npos) {
    if (conversion.flags.size() == kMaxFlags) return std::nullopt;
    conversion.flags.push_back(format[(*at)++]);
  }
  conversion.width = Digits(format, at, kMaxFormatWidth);
  if (conversion.width > kMaxFormatWidth) return std::nullopt;
  if (*at < format.size() && format[*at] == L'.') {
    ++*at;
    conversion.precision = std::max(Digits(format, at, kMaxFormatPrecision), 0);
    if (conversion.precision > kMaxFormatPrecision) return std::nullopt;
  }
  if (*at < format.size() && format[*at] == L'l') ++*at;
  if (*at == format.size() || kConversions.find(format[*at]) == std::wstring_view::npos) {
    return std::nullopt;
  }
  conversion.letter = static_cast<char>(format[(*at)++]);
  return conversion;
}

std::string Chars(double magnitude, std::chars_format form, int precision) {
  std::string text(std::size_t{400} + static_cast<std::size_t>(std::max(precision, 0)), '\0');
  char* const end = text.data() + text.size();
  const std::to_chars_result written =
      precision < 0 ? std::to_chars(text.data(), end, magnitude, form)
                    : std::to_chars(text.data(), end, magnitude, form, precision);
  text.resize(static_cast<std::size_t>(written.ptr - text.data()));
  return text;
}

// The decimal exponent of the first digit of `magnitude` written with
// `digits` significant digits.
int ExponentOf(double magnitude, int digits) {
  const std::string text = Chars(magnitude, std::chars_format::scientific, digits - 1);
  int exponent = 0;
  const size_t e = text.find('e');
  const size_t sign = e + 1 < text.size() && text[e + 1] == '+' ? e + 2 : e + 1;
  std::from_chars(text.data() + sign, text.data() + text.size(), exponent);
  return exponent;
}

// %g: fixed while the exponent X of the first digit lies in [-4, P), else
// scientific, P significant digits; trailing zeros dropped unless "#".
std::string General(double magnitude, const Conversion& c) {
  const int digits = c.precision < 0 ? kDefaultPrecision : std::max(c.precision, 1);
  if (!c.Has(L'#')) return Chars(magnitude, std::chars_format::general, digits);
  const int exponent = magnitude == 0 ? 0 : ExponentOf(magnitude, digits);
  return exponent >= -4 && exponent < digits
             ? Chars(magnitude, std::chars_format::fixed, digits - 1 - exponent)
             : Chars(magnitude, std::chars_format::scientific, digits - 1);
}

// The digits of a finite, non-negative value as the conversion writes them,
// in lower case.
std::string Body(double magnitude, const Conversion& c) {
  const int precision = c.precision < 0 ? kDefaultPrecision : c.precision;
  switch (ToLowerAscii(c.letter)) {
    case 'f':
      return Chars(magnitude, std::chars_format::fixed, precision);
    case 'e':
      return Chars(magnitude, std::chars_format::scientific, precision);
    case 'g':
      return General(magnitude, c);
    default:
      return "0x" + Chars(magnitude, std::chars_format::hex, c.precision);
  }
}

// "#" keeps the decimal point of a number written without decimals.
void KeepPoint(std::string* body) {
  if (body->find('.') != std::string::npos) return;
  const size_t digits_end = body->find_first_of("ep", body->starts_with("0x") ? 2 : 0);
  body->insert(std::min(digits_end, body->size()), ".");
}

std::string Printed(const Conversion& c, double value) {
  const std::string sign = std::signbit(value) ? "-" : c.Has(L'+') ? "+" : c.Has(L' ') ? " " : "";
  const bool finite = std::isfinite(value);
  std::string body = !finite ? (std::isnan(value) ? "nan" : "inf") : Body(std::fabs(value), c);
  if (finite && c.Has(L'#')) KeepPoint(&body);
  if (c.letter != ToLowerAscii(c.letter)) {
    body = AsciiUpper(body);
  }
  const size_t length = sign.size() + body.size();
  const size_t width = c.width < 0 ? 0 : static_cast<size_t>(c.width);
  if (length >= width) return sign + body;
  const std::string padding(width - length, ' ');
  if (c.Has(L'-')) return sign + body + padding;
  if (!c.Has(L'0') || !finite) return padding + sign + body;
  const size_t prefix = body.starts_with("0x") || body.starts_with("0X") ? 2 : 0;
  return sign + body.substr(0, prefix) + std::string(padding.size(), '0') + body.substr(prefix);
}

}  // namespace

std::string PrintDouble(char conversion, int precision, double value) {
  Conversion c;
  c.letter = conversion;
  c.precision = precision;
  return Printed(c, value);
}

std::optional<std::wstring> FormatFloating(std::wstring_view format, double value) {
  std::wstring out;
  bool converted = false;
  for (size_t at = 0; at < format.size();) {
    const size_t percent = format.find(L'%', at);
    out.append(format.substr(at, percent - at));
    if (percent == std::wstring_view::npos) break;
    at = percent + 1;
    if (at < format.size() && format[at] == L'%') {
      out.push_back(L'%');
      ++at;
      continue;
    }
    if (converted) return std::nullopt;
    const std::optional<Conversion> conversion = ReadConversion(format, &at);
    if (!conversion) return std::nullopt;
    const std::string printed = Printed(*conversion, value);
    out.append(printed.begin(), printed.end());
    converted = true;
  }
  if (!converted) return std::nullopt;
  return out;
}

}  // namespace ovc::links
