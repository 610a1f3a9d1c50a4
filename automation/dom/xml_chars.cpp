#include "automation/dom/xml_chars.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "automation/dom/dom_error.h"

namespace ovc::dom {

namespace {

// Decodes the UTF-8 sequence starting at text[*i] and moves *i past it; a
// malformed sequence reads as U+FFFD, one byte at a time.
char32_t NextCodePoint(std::string_view text, size_t* i) {
  const auto lead = static_cast<unsigned char>(text[(*i)++]);
  const size_t length = lead < 0x80    ? 0
                        : lead >= 0xF5 ? 4
                        : lead >= 0xF0 ? 3
                        : lead >= 0xE0 ? 2
                        : lead >= 0xC0 ? 1
                                       : 4;
  if (length == 0) return lead;
  if (length == 4 || *i + length > text.size()) return 0xFFFD;
  char32_t c = lead & (0x3F >> length);
  for (size_t k = 0; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[*i + k]);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (next & 0x3F);
  }
  *i += length;
  return c;
}

// The body of IsXmlChar, which calls from this file inline: an exported
// function's own calls to it stay calls.
bool IsAllowedCharacter(char32_t c) {
  if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
  return c <= 0xD7FF || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Written without branches so that the block test below vectorises.
bool IsAllowedAscii(unsigned char byte) {
  return (static_cast<unsigned char>(byte - 0x20) < 0x60) | (byte == '\t') | (byte == '\n') |
         (byte == '\r');
}

// Text is checked a block of bytes at a time while every byte is an ASCII
// character XML allows: a loop of fixed length without an early exit, which
// the compiler turns into vector code.
constexpr size_t kBlock = 16;

bool IsAllowedAsciiBlock(const char* bytes) {
  unsigned char allowed = 1;
  for (size_t k = 0; k < kBlock; ++k) {
    allowed &= static_cast<unsigned char>(IsAllowedAscii(static_cast<unsigned char>(bytes[k])));
  }
  return allowed != 0;
}

std::wstring CodePointName(char32_t c) {
  char digits[8];
  const char* end = std::to_chars(digits, digits + sizeof digits, static_cast<uint32_t>(c), 16).ptr;
  std::wstring name = L"U+";
  name.append(static_cast<size_t>(std::max<ptrdiff_t>(4 - (end - digits), 0)), L'0');
  for (const char* digit = digits; digit != end; ++digit) {
    name.push_back(static_cast<wchar_t>(*digit >= 'a' ? *digit - 'a' + 'A' : *digit));
  }
  return name;
}

HRESULT Refuse(DOMNodeType type, std::wstring_view sequence, bool at_end = false) {
  const wchar_t* what = type == NODE_COMMENT                  ? L"A comment"
                        : type == NODE_PROCESSING_INSTRUCTION ? L"A processing instruction"
                                                              : L"A CDATA section";
  return DomError(E_FAIL, std::wstring(what) + L" may not " + (at_end ? L"end with" : L"contain") +
                              L" \"" + std::wstring(sequence) + L"\".");
}

}  // namespace

bool IsXmlChar(char32_t c) { return IsAllowedCharacter(c); }

size_t FindDisallowedCharacter(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    if (text.size() - i >= kBlock && IsAllowedAsciiBlock(text.data() + i)) {
      i += kBlock;
      continue;
    }
    // A sequence may run past the block's end; the next block starts after it.
    for (const size_t block_end = std::min(i + kBlock, text.size()); i < block_end;) {
      const size_t start = i;
      if (IsAllowedAscii(static_cast<unsigned char>(text[i]))) {
        ++i;
      } else if (!IsAllowedCharacter(NextCodePoint(text, &i))) {
        return start;
      }
    }
  }
  return std::string_view::npos;
}

HRESULT CheckNodeText(DOMNodeType type, std::wstring_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsAllowedCharacter(static_cast<char32_t>(text[i]))) continue;
    return DomError(E_FAIL, L"The character " + CodePointName(static_cast<char32_t>(text[i])) +
                                L" at position " + std::to_wstring(i + 1) +
                                L" cannot be stored in an XML document.");
  }
  switch (type) {
    case NODE_COMMENT:
      if (text.find(L"--") != std::wstring_view::npos) return Refuse(type, L"--");
      if (!text.empty() && text.back() == L'-') return Refuse(type, L"-", true);
      break;
    case NODE_PROCESSING_INSTRUCTION:
      if (text.find(L"?>") != std::wstring_view::npos) return Refuse(type, L"?>");
      break;
    case NODE_CDATA_SECTION:
      if (text.find(L"]]>") != std::wstring_view::npos) return Refuse(type, L"]]>");
      break;
    default:
      break;
  }
  return S_OK;
}

}  // namespace ovc::dom
