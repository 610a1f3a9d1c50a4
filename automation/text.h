#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ovc {

// Automation text is std::wstring (UTF-32 on Linux); an empty text and an
// absent one are the same. UTF-8 is the encoding at every edge of the
// process (files, databases, XML parsers, the terminal) and is converted here
// only.

// Encodes as UTF-8. Code points that are not Unicode scalar values (lone
// surrogates, values above U+10FFFF) become U+FFFD.
std::string ToUtf8(std::wstring_view text);

// Decodes UTF-8. Malformed sequences become U+FFFD, one per maximal invalid
// subpart, so that no input is ever rejected or silently truncated.
std::wstring FromUtf8(std::string_view text);

// Lower and upper case of ASCII letters and of the letters the C++ locale
// knows; used for names matched without regard to case.
std::wstring ToLower(std::wstring_view text);
std::wstring ToUpper(std::wstring_view text);

// True for an ASCII letter or a letter the C++ locale knows.
bool IsLetter(wchar_t c);

// Equality without regard to letter case.
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

// Character tests and trimming by ASCII rules, the same in every locale, for
// narrow (UTF-8) and wide text alike.

// Space, tab, carriage return or line feed: the blanks around a value typed
// in or read from a file.
template <class Char>
constexpr bool IsBlank(Char c) {
  return c == Char(' ') || c == Char('\t') || c == Char('\r') || c == Char('\n');
}

// A blank (IsBlank), a vertical tab or a form feed: the white space that C's
// scanf and atoi skip, for texts read the way those read them.
template <class Char>
constexpr bool IsBlankOrFeed(Char c) {
  return IsBlank(c) || c == Char('\v') || c == Char('\f');
}

// '0' to '9' only.
template <class Char>
constexpr bool IsAsciiDigit(Char c) {
  return c >= Char('0') && c <= Char('9');
}

// 'A' to 'Z' and 'a' to 'z' only.
template <class Char>
constexpr bool IsAsciiLetter(Char c) {
  return (c >= Char('A') && c <= Char('Z')) || (c >= Char('a') && c <= Char('z'));
}

// The value of the hexadecimal digit `c` (0-9, a-f, A-F), or -1 for any
// other character.
template <class Char>
constexpr int HexDigitValue(Char c) {
  if (IsAsciiDigit(c)) return static_cast<int>(c - Char('0'));
  if (c >= Char('a') && c <= Char('f')) return static_cast<int>(c - Char('a')) + 10;
  if (c >= Char('A') && c <= Char('F')) return static_cast<int>(c - Char('A')) + 10;
  return -1;
}

// `c` with an ASCII letter in lower or upper case; every other character as
// it is.
template <class Char>
constexpr Char ToLowerAscii(Char c) {
  return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}
template <class Char>
constexpr Char ToUpperAscii(Char c) {
  return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

// `text` with its ASCII letters in upper case.
inline std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = ToUpperAscii(c);
  return upper;
}

namespace text_detail {
template <class Char, class IsTrimmed>
constexpr std::basic_string_view<Char> TrimIf(std::basic_string_view<Char> text,
                                              IsTrimmed trimmed) {
  while (!text.empty() && trimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && trimmed(text.back())) text.remove_suffix(1);
  return text;
}
}  // namespace text_detail

// `text` without its leading and trailing blanks (IsBlank).
template <class Char>
constexpr std::basic_string_view<Char> TrimBlanks(std::basic_string_view<Char> text) {
  return text_detail::TrimIf(text, IsBlank<Char>);
}
constexpr std::string_view TrimBlanks(std::string_view text) { return TrimBlanks<char>(text); }
constexpr std::wstring_view TrimBlanks(std::wstring_view text) { return TrimBlanks<wchar_t>(text); }

// `text` without its leading and trailing white space as C reads it
// (IsBlankOrFeed).
constexpr std::wstring_view TrimBlanksAndFeeds(std::wstring_view text) {
  return text_detail::TrimIf(text, IsBlankOrFeed<wchar_t>);
}

// `text` without its leading and trailing spaces and tabs, line breaks kept:
// for text within one line, where a line break is content.
constexpr std::wstring_view TrimSpacesAndTabs(std::wstring_view text) {
  return text_detail::TrimIf(text, [](wchar_t c) { return c == L' ' || c == L'\t'; });
}

// `text` without its leading and trailing spaces, ' ' only: how Excel reads
// formulas and the text of values, where a tab or line break is no blank.
constexpr std::string_view TrimSpaces(std::string_view text) {
  return text_detail::TrimIf(text, [](char c) { return c == ' '; });
}

// Equality with the ASCII letters compared without regard to case; every
// other character must be the same.
constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace ovc
