#include "ovcbridgesvcs/links/floating_format.h"

#include <cstdio>

namespace ovc::links {

namespace {

constexpr std::wstring_view kFlags = L"-+ #0";
constexpr std::wstring_view kConversions = L"fFeEgGaA";
constexpr size_t kMaxFlags = 5;

// Reads up to three decimal digits at *at; -1 when there are none, a value
// above `limit` when there are too many.
int Digits(std::wstring_view text, size_t* at, int limit) {
  int value = -1;
  while (*at < text.size() && text[*at] >= L'0' && text[*at] <= L'9') {
    value = (value < 0 ? 0 : value) * 10 + (text[*at] - L'0');
    ++*at;
    if (value > limit) return limit + 1;
  }
  return value;
}

// The conversion starting after the "%" at `at` as a narrow printf format,
// with *at moved past it; nullopt when it is not an accepted one.
std::optional<std::string> Conversion(std::wstring_view format, size_t* at) {
  std::string spec = "%";
  size_t flags = 0;
  while (*at < format.size() && kFlags.find(format[*at]) != std::wstring_view::npos) {
    if (++flags > kMaxFlags) return std::nullopt;
    spec.push_back(static_cast<char>(format[(*at)++]));
  }
  const int width = Digits(format, at, kMaxFormatWidth);
  if (width > kMaxFormatWidth) return std::nullopt;
  if (width >= 0) spec += std::to_string(width);
  if (*at < format.size() && format[*at] == L'.') {
    ++*at;
    const int precision = Digits(format, at, kMaxFormatPrecision);
    if (precision > kMaxFormatPrecision) return std::nullopt;
    spec += "." + std::to_string(precision < 0 ? 0 : precision);
  }
  if (*at < format.size() && format[*at] == L'l') ++*at;
  if (*at == format.size() || kConversions.find(format[*at]) == std::wstring_view::npos) {
    return std::nullopt;
  }
  spec.push_back(static_cast<char>(format[(*at)++]));
  return spec;
}

// `spec` is one validated floating conversion of bounded width and precision.
std::string Printed(const std::string& spec, double value) {
  std::string out(48, '\0');
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  int written = std::snprintf(out.data(), out.size(), spec.c_str(), value);
  if (written >= 0 && static_cast<size_t>(written) >= out.size()) {
    out.resize(static_cast<size_t>(written) + 1);
    written = std::snprintf(out.data(), out.size(), spec.c_str(), value);
  }
#pragma GCC diagnostic pop
  out.resize(written < 0 ? 0 : static_cast<size_t>(written));
  return out;
}

}  // namespace

std::string PrintDouble(char conversion, int precision, double value) {
  return Printed("%." + std::to_string(precision) + conversion, value);
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
    const std::optional<std::string> spec = Conversion(format, &at);
    if (!spec) return std::nullopt;
    const std::string printed = Printed(*spec, value);
    out.append(printed.begin(), printed.end());
    converted = true;
  }
  if (!converted) return std::nullopt;
  return out;
}

}  // namespace ovc::links
