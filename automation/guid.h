#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ovc {

// A 128-bit globally unique identifier, as interface, class and type library
// identifiers use it.
struct GUID {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};

  friend constexpr bool operator==(const GUID&, const GUID&) = default;
  friend constexpr auto operator<=>(const GUID&, const GUID&) = default;
};

using IID = GUID;
using CLSID = GUID;

inline constexpr GUID GUID_NULL{};
inline constexpr GUID IID_NULL{};

namespace detail {
constexpr uint8_t HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  throw "invalid hexadecimal digit in a GUID literal";
}
constexpr uint64_t HexField(std::string_view text, size_t begin, size_t count) {
  uint64_t value = 0;
  for (size_t i = begin; i < begin + count; ++i) value = value * 16 + HexDigit(text[i]);
  return value;
}
}  // namespace detail

// A GUID from its 36-character registry form without braces, at compile time:
// MakeGuid("38000101-BF26-11D5-A6FE-0002A500E8F9"). A malformed literal does
// not compile when the result is constexpr.
constexpr GUID MakeGuid(std::string_view text) {
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
      text[23] != '-') {
    throw "a GUID literal has the form XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX";
  }
  GUID guid;
  guid.data1 = static_cast<uint32_t>(detail::HexField(text, 0, 8));
  guid.data2 = static_cast<uint16_t>(detail::HexField(text, 9, 4));
  guid.data3 = static_cast<uint16_t>(detail::HexField(text, 14, 4));
  guid.data4[0] = static_cast<uint8_t>(detail::HexField(text, 19, 2));
  guid.data4[1] = static_cast<uint8_t>(detail::HexField(text, 21, 2));
  for (size_t i = 0; i < 6; ++i) {
    guid.data4[2 + i] = static_cast<uint8_t>(detail::HexField(text, 24 + 2 * i, 2));
  }
  return guid;
}

// The braced registry form in upper case: "{38000101-BF26-11D5-A6FE-0002A500E8F9}".
std::wstring GuidToString(const GUID& guid);

// Parses the registry form, with or without braces, in either letter case.
// Returns nothing for any other text.
std::optional<GUID> GuidFromString(std::wstring_view text);

}  // namespace ovc

template <>
struct std::hash<ovc::GUID> {
  size_t operator()(const ovc::GUID& guid) const noexcept;
};
