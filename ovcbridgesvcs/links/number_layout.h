#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ovc::links {

// How a number is laid out for display.
struct LayoutRules {
  int decimals = 0;                      // digits after the decimal separator
  bool leading_zero = true;              // "0.5" rather than ".5"
  bool negative_in_parentheses = false;  // "(42)" rather than "-42"
  std::wstring_view decimal_separator = L".";
  std::wstring_view thousands_separator = L",";
};

// `number` as printf's %f writes it (an optional "-", digits, optionally "."
// and digits), rounded half away from zero to rules.decimals decimals, its
// integer digits grouped by three. A number that rounds to zero has no sign.
// nullopt for negative decimals or text of another form ("inf", "nan").
std::optional<std::wstring> LayOutNumber(std::string_view number, const LayoutRules& rules);

}  // namespace ovc::links
