#include "orvan/service/attribute_text.h"

#include "automation/text.h"
#include "orvan/format/number_text.h"

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
  size_t start = 0;
  while (true) {
    size_t amp = text.find("&#", start);
    size_t semicolon = amp == std::string_view::npos ? amp : text.find(';', amp + 2);
    if (semicolon == std::string_view::npos) break;
    plain.append(text.substr(start, amp - start));
    auto code = static_cast<uint32_t>(LeadingInteger(text.substr(amp + 2, semicolon - amp - 2)));
    wchar_t character = static_cast<wchar_t>(code & 0xFFFF);
    plain += ToUtf8(std::wstring_view(&character, 1));
    start = semicolon + 1;
  }
  plain.append(text.substr(start));
  return plain;
}

}  // namespace ovc::orvan
