#include "ovcbridgesvcs/links/number_layout.h"

#include <algorithm>

#include "automation/text.h"

namespace ovc::links {

namespace {

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsAsciiDigit<char>);
}

// Adds one unit in the last place of a string of digits; true when it
// carries out of the first digit.
bool Increment(std::string* digits) {
  for (size_t at = digits->size(); at-- > 0;) {
    if ((*digits)[at] != '9') {
      ++(*digits)[at];
      return false;
    }
    (*digits)[at] = '0';
  }
  return true;
}

std::wstring Grouped(std::string_view digits, std::wstring_view separator) {
  std::wstring out;
  out.reserve(digits.size() + digits.size() / 3 * separator.size());
  for (size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && (digits.size() - at) % 3 == 0) out.append(separator);
    out.push_back(static_cast<wchar_t>(digits[at]));
  }
  return out;
}

}  // namespace

std::optional<std::wstring> LayOutNumber(std::string_view number, const LayoutRules& rules) {
  if (rules.decimals < 0) return std::nullopt;
  const bool negative = number.starts_with('-');
  if (negative) number.remove_prefix(1);
  const size_t point = number.find('.');
  std::string whole(number.substr(0, point));
  std::string fraction(point == std::string_view::npos ? "" : number.substr(point + 1));
  if (whole.empty() || !AllDigits(whole) || !AllDigits(fraction)) return std::nullopt;

  const size_t decimals = static_cast<size_t>(rules.decimals);
  const bool round_up = fraction.size() > decimals && fraction[decimals] >= '5';
  fraction.resize(decimals, '0');
  if (round_up && Increment(&fraction) && Increment(&whole)) whole.insert(0, 1, '1');
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));

  const bool zero = whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
  std::wstring digits;
  if (whole != "0" || rules.leading_zero || decimals == 0) {
    digits = Grouped(whole, rules.thousands_separator);
  }
  if (decimals > 0) {
    digits.append(rules.decimal_separator);
    digits.append(fraction.begin(), fraction.end());
  }
  if (!negative || zero) return digits;
  return rules.negative_in_parentheses ? L"(" + digits + L")" : L"-" + digits;
}

}  // namespace ovc::links
