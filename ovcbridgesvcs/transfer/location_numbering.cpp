#include "ovcbridgesvcs/transfer/location_numbering.h"

#include "automation/text.h"

#include <algorithm>
#include <charconv>

namespace ovc::transfer {
namespace {

// Numbers are padded to at most this many digits, whatever the caller asks.
constexpr int32_t kMaxDigits = 10;
constexpr size_t kMaxOldSuffix = 3;

// `location` without an old numeric suffix.
std::wstring_view WithoutOldSuffix(std::wstring_view location, std::wstring_view delimiter) {
  size_t digits = 0;
  while (digits < location.size() && IsAsciiDigit(location[location.size() - 1 - digits])) ++digits;
  if (digits == 0 || digits > kMaxOldSuffix || digits == location.size()) return location;
  std::wstring_view stem = location.substr(0, location.size() - digits);
  if (!delimiter.empty()) {
    if (!stem.ends_with(delimiter)) return location;
    stem.remove_suffix(delimiter.size());
  }
  return stem.empty() ? location : stem;
}

// `number` in decimal, zeros inserted after the sign up to `width`
// characters in all, as "%0*d" writes it.
std::wstring PaddedNumber(int64_t number, int32_t width) {
  char buffer[24];
  const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, number);
  std::wstring text(buffer, written.ptr);
  const size_t sign = number < 0 ? 1 : 0;
  const size_t wanted = static_cast<size_t>(std::clamp(width, 0, kMaxDigits));
  if (text.size() < wanted) text.insert(sign, wanted - text.size(), L'0');
  return text;
}

}  // namespace

std::wstring NumberedLocation(std::wstring_view location, const LocationNumbering& numbering,
                              int64_t number) {
  std::wstring numbered(WithoutOldSuffix(location, numbering.delimiter));
  numbered.append(numbering.delimiter);
  numbered.append(PaddedNumber(number, numbering.digits));
  return numbered;
}

}  // namespace ovc::transfer
