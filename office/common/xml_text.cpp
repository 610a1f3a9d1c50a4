#include "office/common/xml_text.h"

#include <cstdint>

namespace ovc::office {

bool IsXmlText(std::wstring_view text) {
  for (wchar_t c : text) {
    const auto code = static_cast<uint32_t>(c);
    const bool control = code < 0x20 && c != L'\t' && c != L'\n' && c != L'\r';
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (control || surrogate || code == 0xFFFE || code == 0xFFFF || code > 0x10FFFF) return false;
  }
  return true;
}

}  // namespace ovc::office
