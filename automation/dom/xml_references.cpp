#include "automation/dom/xml_references.h"

#include <array>
#include <utility>

#include "automation/dom/xml_chars.h"
#include "automation/text.h"

namespace ovc::dom {

namespace {

constexpr std::array<std::pair<std::string_view, char>, 5> kPredefinedEntities{{
    {"amp", '&'},
    {"lt", '<'},
    {"gt", '>'},
    {"apos", '\''},
    {"quot", '"'},
}};

// Longer references than this are not looked for: no valid one is.
constexpr size_t kLongestReference = 32;

// The character of a character reference's body ("#65", "#x41"), or 0 when
// it is not a number (0 is no character XML allows either).
char32_t CharacterNumber(std::string_view body) {
  body.remove_prefix(1);
  const bool hex = !body.empty() && body.front() == 'x';
  if (hex) body.remove_prefix(1);
  if (body.empty()) return 0;
  char32_t value = 0;
  for (const char c : body) {
    const int digit = hex ? HexDigitValue(c) : IsAsciiDigit(c) ? c - '0' : -1;
    if (digit < 0) return 0;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    if (value > 0x10FFFF) return 0x110000;
  }
  return value;
}

// Appends what the reference `body` (between "&" and ";") stands for; false
// with *reason for a reference that is not allowed.
bool AppendReferenced(std::string_view body, std::string* text, std::wstring* reason) {
  if (!body.empty() && body.front() == '#') {
    const char32_t c = CharacterNumber(body);
    if (!IsXmlChar(c)) {
      *reason = L"The character reference \"&" + FromUtf8(body) +
                L";\" does not name a character XML allows";
      return false;
    }
    *text += ToUtf8(std::wstring(1, static_cast<wchar_t>(c)));
    return true;
  }
  for (const auto& [name, c] : kPredefinedEntities) {
    if (body != name) continue;
    *text += c;
    return true;
  }
  *reason = L"The entity \"" + FromUtf8(body) + L"\" is not defined";
  return false;
}

}  // namespace

bool ResolveReferences(std::string_view raw, std::string* text, std::wstring* reason,
                       size_t* offset) {
  text->clear();
  for (size_t i = 0; i < raw.size();) {
    const size_t ampersand = raw.find('&', i);
    text->append(raw.substr(i, ampersand - i));
    if (ampersand == std::string_view::npos) break;
    *offset = ampersand;
    const size_t semicolon = raw.substr(0, ampersand + kLongestReference).find(';', ampersand);
    if (semicolon == std::string_view::npos) {
      *reason = L"An \"&\" must start an entity or character reference ending with \";\"";
      return false;
    }
    if (!AppendReferenced(raw.substr(ampersand + 1, semicolon - ampersand - 1), text, reason)) {
      return false;
    }
    i = semicolon + 1;
  }
  return true;
}

}  // namespace ovc::dom
