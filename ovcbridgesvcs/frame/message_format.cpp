#include "ovcbridgesvcs/frame/message_format.h"

#include <fmt/args.h>
#include <fmt/printf.h>
#include <fmt/xchar.h>

namespace ovc {

std::wstring FormatMessageArguments(std::wstring_view format,
                                    std::span<const MessageArgument> args) {
  fmt::dynamic_format_arg_store<fmt::wprintf_context> store;
  store.reserve(args.size(), 0);
  for (const MessageArgument& argument : args) {
    std::visit([&store](auto value) { store.push_back(value); }, argument);
  }
  try {
    return fmt::vsprintf(format, store);
  } catch (const fmt::format_error&) {
    return std::wstring(format);
  }
}

}  // namespace ovc
