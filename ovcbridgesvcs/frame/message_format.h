#pragma once

#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace ovc {

// One argument of a message template, kept with its own type so that each
// conversion of the template can be checked against it.
using MessageArgument = std::variant<int, unsigned, long, unsigned long, long long,
                                     unsigned long long, double, std::wstring_view>;

// Fills a printf-style message template of the catalogue ("%s", "%ls",
// "%ld", ...) with `args`. Each conversion is checked against its argument's
// real type and count, so that a template can never read past its
// arguments; a template that does not fit them is returned unfilled.
std::wstring FormatMessageArguments(std::wstring_view format,
                                    std::span<const MessageArgument> args);

// How an argument of type T is kept: numbers as they are, texts as views.
template <class T>
using MessageArgumentType = std::conditional_t<std::is_arithmetic_v<T>, T, std::wstring_view>;

// FormatMessageArguments over `args`, which must be integers, doubles or
// wide texts. Without arguments the text is returned as it is: a text that
// holds data (a location name with a '%' in it) is never taken for a
// template.
template <class... Args>
std::wstring FormatMessageText(std::wstring_view format, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    return std::wstring(format);
  } else {
    const MessageArgument list[] = {
        MessageArgument(std::in_place_type<MessageArgumentType<Args>>, args)...};
    return FormatMessageArguments(format, list);
  }
}

}  // namespace ovc
