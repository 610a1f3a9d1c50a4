#include "orvan/json/strict_json.h"

#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

namespace ovc::orvan {

namespace {

using nlohmann::json;

// Follows the parse events, keeping the pointer of the value being read and
// the keys each open object has given so far.
class DuplicateKeyCheck {
 public:
  void Take(json::parse_event_t event, const json& parsed) {
    switch (event) {
      case json::parse_event_t::object_start:
      case json::parse_event_t::array_start:
        Open(event == json::parse_event_t::object_start);
        break;
      case json::parse_event_t::key:
        Key(parsed.get<std::string>());
        break;
      case json::parse_event_t::object_end:
      case json::parse_event_t::array_end:
        levels_.pop_back();
        Done();
        break;
      case json::parse_event_t::value:
        Done();
        break;
    }
  }

 private:
  struct Level {
    std::string pointer;
    bool object = false;
    std::set<std::string> keys;
    std::string key;   // of an object: the member being read
    size_t index = 0;  // of an array: the element being read
  };

  std::string ChildPointer() const {
    if (levels_.empty()) return "";
    const Level& parent = levels_.back();
    return parent.object ? PointerBelow(parent.pointer, parent.key)
                         : PointerBelow(parent.pointer, parent.index);
  }
  void Open(bool object) {
    Level level;
    level.pointer = ChildPointer();
    level.object = object;
    levels_.push_back(std::move(level));
  }
  void Key(std::string key) {
    Level& level = levels_.back();
    level.key = std::move(key);
    if (!level.keys.insert(level.key).second) {
      throw std::invalid_argument("At " + ChildPointer() + ": the key is given twice.");
    }
  }
  // A value is complete: what follows in an array is its next element.
  void Done() {
    if (!levels_.empty() && !levels_.back().object) ++levels_.back().index;
  }

  std::vector<Level> levels_;
};

}  // namespace

std::string PointerBelow(const std::string& pointer, std::string_view key) {
  std::string below = pointer + "/";
  for (char c : key) {
    if (c == '~') {
      below += "~0";
    } else if (c == '/') {
      below += "~1";
    } else {
      below += c;
    }
  }
  return below;
}

std::string PointerBelow(const std::string& pointer, size_t index) {
  return pointer + "/" + std::to_string(index);
}

json ParseStrictJson(std::string_view text) {
  DuplicateKeyCheck check;
  return json::parse(text, [&check](int, json::parse_event_t event, json& parsed) {
    check.Take(event, parsed);
    return true;
  });
}

}  // namespace ovc::orvan
