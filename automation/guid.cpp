#include "automation/guid.h"

#include "automation/text.h"

namespace ovc {

namespace {

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

void AppendHex(std::wstring* text, uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    text->push_back(kHexDigits[(value >> shift) & 0xF]);
  }
}

// Reads `count` hexadecimal digits at `begin`; false when any is not one.
bool ReadHex(std::wstring_view text, size_t begin, size_t count, uint64_t* value) {
  uint64_t result = 0;
  for (size_t i = begin; i < begin + count; ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) return false;
    result = result * 16 + static_cast<uint64_t>(digit);
  }
  *value = result;
  return true;
}

}  // namespace

std::wstring GuidToString(const GUID& guid) {
  std::wstring text;
  text.reserve(38);
  text += L'{';
  AppendHex(&text, guid.data1, 8);
  text += L'-';
  AppendHex(&text, guid.data2, 4);
  text += L'-';
  AppendHex(&text, guid.data3, 4);
  text += L'-';
  AppendHex(&text, guid.data4[0], 2);
  AppendHex(&text, guid.data4[1], 2);
  text += L'-';
  for (size_t i = 2; i < 8; ++i) AppendHex(&text, guid.data4[i], 2);
  text += L'}';
  return text;
}

std::optional<GUID> GuidFromString(std::wstring_view text) {
  if (text.size() == 38) {
    if (text.front() != L'{' || text.back() != L'}') return std::nullopt;
    text = text.substr(1, 36);
  }
  if (text.size() != 36 || text[8] != L'-' || text[13] != L'-' || text[18] != L'-' ||
      text[23] != L'-') {
    return std::nullopt;
  }
  GUID guid;
  uint64_t field = 0;
  if (!ReadHex(text, 0, 8, &field)) return std::nullopt;
  guid.data1 = static_cast<uint32_t>(field);
  if (!ReadHex(text, 9, 4, &field)) return std::nullopt;
  guid.data2 = static_cast<uint16_t>(field);
  if (!ReadHex(text, 14, 4, &field)) return std::nullopt;
  guid.data3 = static_cast<uint16_t>(field);
  constexpr size_t kByteOffsets[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (size_t i = 0; i < 8; ++i) {
    if (!ReadHex(text, kByteOffsets[i], 2, &field)) return std::nullopt;
    guid.data4[i] = static_cast<uint8_t>(field);
  }
  return guid;
}

}  // namespace ovc

size_t std::hash<ovc::GUID>::operator()(const ovc::GUID& guid) const noexcept {
  uint64_t low = (uint64_t{guid.data1} << 32) | (uint64_t{guid.data2} << 16) | guid.data3;
  uint64_t high = 0;
  for (uint8_t byte : guid.data4) high = (high << 8) | byte;
  return std::hash<uint64_t>{}(low ^ (high * 0x9E3779B97F4A7C15ULL));
}
