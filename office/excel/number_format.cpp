#include "office/excel/number_format.h"

namespace ovc::excel {

namespace {

bool IsDateLetter(char c) {
  switch (c | 0x20) {
    case 'd':
    case 'm':
    case 'y':
    case 'h':
    case 's':
      return true;
    default:
      return false;
  }
}

// True for "[h]", "[mm]", "[SS]" and the like: one time letter repeated.
bool IsElapsedTime(std::string_view inside) {
  if (inside.empty()) return false;
  const char letter = static_cast<char>(inside[0] | 0x20);
  if (letter != 'h' && letter != 'm' && letter != 's') return false;
  for (char c : inside) {
    if ((c | 0x20) != letter) return false;
  }
  return true;
}

}  // namespace

bool IsBuiltInDateFormat(uint32_t id) {
  return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
         (id >= 50 && id <= 58);
}

bool IsDateFormatCode(std::string_view code) {
  for (size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"') {
      const size_t end = code.find('"', i + 1);
      if (end == std::string_view::npos) return false;
      i = end;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;  // the next character is shown, padded or repeated as it is
    } else if (c == '[') {
      const size_t end = code.find(']', i + 1);
      if (end == std::string_view::npos) return false;
      if (IsElapsedTime(code.substr(i + 1, end - i - 1))) return true;
      i = end;
    } else if (IsDateLetter(c)) {
      return true;
    }
  }
  return false;
}

bool IsGeneralFormatCode(std::string_view code) {
  constexpr std::string_view kGeneral = "general";
  if (code.size() != kGeneral.size()) return false;
  for (size_t i = 0; i < code.size(); ++i) {
    if ((code[i] | 0x20) != kGeneral[i]) return false;
  }
  return true;
}

}  // namespace ovc::excel
