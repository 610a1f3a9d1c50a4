#include "automation/dom/xml_name.h"

#include <string>

#include "automation/dom/dom_error.h"
#include "automation/dom/xml_chars.h"
#include "automation/text.h"

namespace ovc::dom {

namespace {

bool IsNameStart(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L':' ||
         (c > 0x7F && IsXmlChar(static_cast<char32_t>(c)));
}

bool IsNameCharacter(wchar_t c) {
  return IsNameStart(c) || IsAsciiDigit(c) || c == L'-' || c == L'.';
}

}  // namespace

HRESULT CheckXmlName(std::wstring_view name) {
  if (name.empty()) return DomError(E_FAIL, L"An XML name cannot be empty.");
  for (size_t i = 0; i < name.size(); ++i) {
    if (i == 0 ? IsNameStart(name[i]) : IsNameCharacter(name[i])) continue;
    return DomError(E_FAIL, L"The name \"" + std::wstring(name) + L"\" may not contain the '" +
                                std::wstring(1, name[i]) + L"' character at position " +
                                std::to_wstring(i + 1) + L".");
  }
  return S_OK;
}

}  // namespace ovc::dom
