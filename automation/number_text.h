#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ovc {

// Number text never depends on the process locale: "." is the decimal point
// and there are no thousands separators. Plain digits are written while the
// decimal exponent of the leading digit is from -4 up to the form's limit
// below; otherwise a mantissa and "E", a sign and at least two exponent
// digits. NaN and the infinities are "NaN", "Infinity" and "-Infinity".

// The text the automation conversion gives a double (VariantChangeType to
// VT_BSTR): the value rounded to 15 significant digits, trailing zeros
// dropped, plain up to 15 integer digits: "0.3" for 0.1 + 0.2, "0.0001",
// "1E-05", "123456789012345", "1E+15", "1.23456789012346E+17". Zero of
// either sign is "0". Different doubles may give the same text.
std::wstring DoubleToText(double value);

// The same for a single-precision value: 7 significant digits, plain up to
// 7 integer digits: "0.1" for 0.1f, "1234567", "1E+07".
std::wstring FloatToText(float value);

// The shortest text that reads back (ParseDouble, VariantChangeType) as
// exactly `value`, sign of zero included, for text that must carry a value
// bit for bit: "0.30000000000000004", "-0", "1E+15", "5E-324". Laid out as
// DoubleToText.
std::wstring DoubleToRoundTripText(double value);

// An integer count of 10^-decimals as exact decimal text, trailing zeros of
// the fraction dropped: (122500, 4) is "12.25", (-1, 4) "-0.0001",
// (INT64_MIN, 0) "-9223372036854775808". `decimals` is from 0 to 18.
std::wstring FixedPointText(int64_t value, int decimals);

// A finite, positive number as decimal digits: its significant digits
// without trailing zeros and the decimal exponent of the first ("123" and 5
// for 1.23E+5), rounded to `significant_digits`, or the shortest digits that
// read back exactly when that is 0.
struct Decimal {
  std::string digits;
  int exponent = 0;
};
Decimal ToDecimal(double magnitude, int significant_digits);

// How the C library reads the integer a text starts with (atoi): white space
// (IsBlankOrFeed), an optional sign and the digits that follow; 0 when there
// are none; clamped to 32 bits. *found (when given) tells whether there was
// at least one digit. UTF-8 reads as its FromUtf8 would.
int32_t LeadingInteger(std::string_view text, bool* found = nullptr);
int32_t LeadingInteger(std::wstring_view text, bool* found = nullptr);

// Walks `text` that carries characters as decimal codes "&#<code>;": hands
// each run of plain text to `run` and each code to `code` (LeadingInteger of
// what stands between "&#" and the next ";", lower 16 bits). A "&#" without
// a ";" after it, and what follows it, are plain text.
template <class Char, class Run, class Code>
void ForEachCharacterCode(std::basic_string_view<Char> text, Run&& run, Code&& code) {
  constexpr Char kOpening[] = {Char('&'), Char('#'), Char(0)};
  size_t start = 0;
  while (true) {
    const size_t amp = text.find(kOpening, start);
    const size_t semicolon =
        amp == std::basic_string_view<Char>::npos ? amp : text.find(Char(';'), amp + 2);
    if (semicolon == std::basic_string_view<Char>::npos) break;
    run(text.substr(start, amp - start));
    code(static_cast<uint16_t>(LeadingInteger(text.substr(amp + 2, semicolon - amp - 2))));
    start = semicolon + 1;
  }
  run(text.substr(start));
}

}  // namespace ovc
