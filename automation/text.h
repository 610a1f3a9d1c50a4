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

// '0' to '9' only.
template <class Char>
constexpr bool IsAsciiDigit(Char c) {
  return c >= Char('0') && c <= Char('9');
}

// `text` without its leading and trailing blanks (IsBlank).
template <class Char>
constexpr std::basic_string_view<Char> TrimBlanks(std::basic_string_view<Char> text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}
constexpr std::string_view TrimBlanks(std::string_view text) { return TrimBlanks<char>(text); }
constexpr std::wstring_view TrimBlanks(std::wstring_view text) { return TrimBlanks<wchar_t>(text); }

// `text` without its leading and trailing spaces, ' ' only: how Excel reads
// formulas and the text of values, where a tab or line break is no blank.
constexpr std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Equality with the ASCII letters compared without regard to case; every
// other character must be the same.
constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  constexpr auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace ovc
