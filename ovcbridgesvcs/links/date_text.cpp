#include "ovcbridgesvcs/links/date_text.h"

#include <array>
#include <string>

#include "automation/date.h"
#include "automation/text.h"

namespace ovc::links {

namespace {

constexpr size_t kMaxDateTextLength = 256;
constexpr long kMaxField = 99999;

// The first three runs of digits of `text`, each kept below kMaxField + 1.
std::optional<std::array<long, 3>> ThreeNumbers(std::wstring_view text) {
  std::array<long, 3> numbers{};
  size_t at = 0;
  for (long& number : numbers) {
    while (at < text.size() && !IsAsciiDigit(text[at])) ++at;
    if (at == text.size()) return std::nullopt;
    number = 0;
    for (; at < text.size() && IsAsciiDigit(text[at]); ++at) {
      if (number <= kMaxField) number = number * 10 + (text[at] - L'0');
    }
  }
  return numbers;
}

// As "%02ld" writes it.
std::wstring TwoDigits(long number) {
  std::wstring digits = std::to_wstring(number);
  return digits.size() < 2 ? L"0" + digits : digits;
}

}  // namespace

std::optional<DateFieldOrder> DateFieldOrderOf(std::wstring_view format) {
  const size_t day = format.find(L"%d");
  const size_t month = format.find(L"%m");
  size_t year = format.find(L"%Y");
  if (year == std::wstring_view::npos) year = format.find(L"%y");
  if (day == std::wstring_view::npos || month == std::wstring_view::npos ||
      year == std::wstring_view::npos || year < day || year < month) {
    return std::nullopt;
  }
  return DateFieldOrder{day < month};
}

std::optional<DATE> ParseDateText(std::wstring_view text, DateFieldOrder order) {
  if (text.size() >= kMaxDateTextLength) return std::nullopt;
  const std::optional<std::array<long, 3>> numbers = ThreeNumbers(text);
  if (!numbers) return std::nullopt;
  const auto [first, second, year] = *numbers;
  const long day = order.day_first ? first : second;
  const long month = order.day_first ? second : first;
  const std::wstring rebuilt =
      TwoDigits(month) + L"/" + TwoDigits(day) + L"/" + std::to_wstring(year);
  DATE date = 0;
  if (!ParseDate(rebuilt, &date)) return std::nullopt;
  return date;
}

}  // namespace ovc::links
