#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ovc {

// The library's numbered messages (1100 to 1306, with gaps), compiled in
// from resources/messages.txt.

// The text of message `number`, or nothing when the catalogue has no such
// message. The text lives as long as the program.
std::optional<std::wstring_view> FindMessage(uint32_t number);

// The text of message `number` in a new string, or "Unknown Error" when the
// catalogue has no such message.
std::wstring LoadMessage(uint32_t number);

}  // namespace ovc
