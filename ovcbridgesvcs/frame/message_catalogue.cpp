#include "ovcbridgesvcs/frame/message_catalogue.h"

#include <algorithm>
#include <iterator>

namespace ovc {
namespace {

struct Message {
  uint32_t number;
  std::wstring_view text;
};

// Sorted by number: rc.py refuses a catalogue whose numbers do not rise.
constexpr Message kMessages[] = {
#include "ovcbridgesvcs/resources/messages.inc"
};

}  // namespace

std::optional<std::wstring_view> FindMessage(uint32_t number) {
  const auto found = std::lower_bound(
      std::begin(kMessages), std::end(kMessages), number,
      [](const Message& message, uint32_t wanted) { return message.number < wanted; });
  if (found == std::end(kMessages) || found->number != number) return std::nullopt;
  return found->text;
}

std::wstring LoadMessage(uint32_t number) {
  return std::wstring(FindMessage(number).value_or(L"Unknown Error"));
}

}  // namespace ovc
