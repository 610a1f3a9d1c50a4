#include "orvan/service/attribute_text.h"

#include "automation/number_text.h"
#include "automation/text.h"

namespace ovc::orvan {

std::string EscapeAttribute(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    auto code = static_cast<unsigned char>(c);
    if (code < 32 || c == '&') {
      escaped += "&#";
      escaped += std::to_string(code);
      escaped += ';';
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string UnescapeAttribute(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  ForEachCharacterCode(
      text, [&](std::string_view run) { plain.append(run); },
      [&](uint16_t code) { plain += ToUtf8(std::wstring(1, static_cast<wchar_t>(code))); });
  return plain;
}

}  // namespace ovc::orvan
