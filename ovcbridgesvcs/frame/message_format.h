#pragma once

#include <string>
#include <string_view>

#include <fmt/printf.h>
#include <fmt/xchar.h>

namespace ovc {

// Fills a printf-style message template of the catalogue ("%s", "%ls",
// "%ld", ...) with `args`. Each conversion is checked against its argument's
// real type and count, so that a template can never read past its
// arguments; a template that does not fit them is returned unfilled.
// Without arguments the text is returned as it is: a text that holds data
// (a location name with a '%' in it) is never taken for a template.
template <class... Args>
std::wstring FormatMessageText(std::wstring_view format, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    return std::wstring(format);
  } else {
    try {
      return fmt::sprintf(format, args...);
    } catch (const fmt::format_error&) {
      return std::wstring(format);
    }
  }
}

}  // namespace ovc
