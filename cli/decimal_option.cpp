#include <charconv>
#include <limits>
#include <string>

#include "cli/commands.h"

namespace ovc::cli {

std::optional<int32_t> DecimalIn(std::string_view text, int32_t low, int32_t high) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

CLI::Validator DecimalOption(int32_t low, int32_t high) {
  const bool unbounded = high == std::numeric_limits<int32_t>::max();
  const std::string range = std::to_string(low) + " to " + std::to_string(high);
  return CLI::Validator(
      [low, high, range](std::string& text) -> std::string {
        const std::optional<int32_t> value = DecimalIn(text, low, high);
        if (!value) return "'" + text + "' is not a whole number from " + range;
        // Written back plainly, so that the option's own reading, which
        // would take a leading 0 for octal, sees the same number.
        text = std::to_string(*value);
        return {};
      },
      unbounded ? "from " + std::to_string(low) : "from " + range);
}

CLI::Validator OidOption() {
  return DecimalOption(1, std::numeric_limits<int32_t>::max()).description("OID");
}

}  // namespace ovc::cli
