#include "automation/text.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <locale>
#include <type_traits>

namespace ovc {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalarValue(char32_t c) { return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF); }

// The number of bytes EncodeUtf8 writes for `c`: a replacement takes three,
// like every other code point from U+0800 to U+FFFF.
size_t EncodedLength(char32_t c) {
  return 1 + (c >= 0x80) + (c >= 0x800) + (c >= 0x10000 && c <= 0x10FFFF);
}

// Writes `c` as UTF-8 at `out`, which has room for EncodedLength(c) bytes;
// returns the end of what was written.
char* EncodeUtf8(char* out, char32_t c) {
  if (!IsScalarValue(c)) c = kReplacement;
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// How a multi-byte sequence starting with `lead` continues: the number of
// continuation bytes and the range allowed for the first of them (which
// excludes overlong forms, surrogates and values above U+10FFFF).
struct SequenceShape {
  int continuation_bytes;
  unsigned char first_low;
  unsigned char first_high;
};

SequenceShape ShapeOf(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {1, 0x80, 0xBF};
  if (lead == 0xE0) return {2, 0xA0, 0xBF};
  if (lead == 0xED) return {2, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {2, 0x80, 0xBF};
  if (lead == 0xF0) return {3, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {3, 0x80, 0xBF};
  if (lead == 0xF4) return {3, 0x80, 0x8F};
  return {0, 0, 0};
}

// Decodes the sequence at *in and moves *in past it; a malformed sequence
// reads as U+FFFD and ends before the first byte that cannot continue it.
char32_t DecodeUtf8(const char** in, const char* stop) {
  const auto lead = static_cast<unsigned char>(*(*in)++);
  if (lead < 0x80) return lead;
  const SequenceShape shape = ShapeOf(lead);
  char32_t code = lead & (0x3F >> shape.continuation_bytes);
  int read = 0;
  for (; read < shape.continuation_bytes && *in != stop; ++read, ++*in) {
    const auto byte = static_cast<unsigned char>(**in);
    const unsigned char low = read == 0 ? shape.first_low : 0x80;
    const unsigned char high = read == 0 ? shape.first_high : 0xBF;
    if (byte < low || byte > high) break;
    code = (code << 6) | (byte & 0x3F);
  }
  const bool complete = shape.continuation_bytes > 0 && read == shape.continuation_bytes;
  return complete ? code : kReplacement;
}

// ASCII text is converted a block of code units at a time: a loop of fixed
// length without an early exit, which the compiler turns into vector code.
constexpr ptrdiff_t kBlock = 16;

template <class Unit>
bool IsAsciiBlock(const Unit* units) {
  std::make_unsigned_t<Unit> bits = 0;
  for (ptrdiff_t k = 0; k < kBlock; ++k) bits |= units[k];
  return bits < 0x80;
}

// Converted in a local block first: `out` may alias `in` as far as the
// compiler knows, which would keep it from vectorising a direct copy.
template <class From, class To>
To* CopyAsciiBlock(const From* in, To* out) {
  To block[kBlock];
  for (ptrdiff_t k = 0; k < kBlock; ++k) block[k] = static_cast<To>(in[k]);
  std::memcpy(out, block, sizeof block);
  return out + kBlock;
}

// Walks the units from `in` to `stop` a block at a time: a block of ASCII
// units goes to `ascii` whole; in any other block `other` takes a character
// at a time, moving `in` past it (possibly beyond the block's end).
template <class Unit, class Ascii, class Other>
void WalkBlocks(const Unit* in, const Unit* stop, Ascii ascii, Other other) {
  while (in != stop) {
    if (stop - in >= kBlock && IsAsciiBlock(in)) {
      ascii(in);
      in += kBlock;
      continue;
    }
    const Unit* const block_end = in + std::min(kBlock, stop - in);
    while (in < block_end) other(&in);
  }
}

const std::ctype<wchar_t>& Letters() {
  static const std::locale locale = [] {
    try {
      return std::locale("C.UTF-8");
    } catch (const std::runtime_error&) {
      return std::locale::classic();
    }
  }();
  return std::use_facet<std::ctype<wchar_t>>(locale);
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
  const wchar_t* const stop = text.data() + text.size();
  size_t length = 0;
  WalkBlocks(
      text.data(), stop, [&](const wchar_t*) { length += kBlock; },
      [&](const wchar_t** in) { length += EncodedLength(static_cast<char32_t>(*(*in)++)); });
  std::string out(length, '\0');
  char* end = out.data();
  WalkBlocks(
      text.data(), stop, [&](const wchar_t* block) { end = CopyAsciiBlock(block, end); },
      [&](const wchar_t** in) { end = EncodeUtf8(end, static_cast<char32_t>(*(*in)++)); });
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  // Every character takes at least one byte, so the text's length bounds
  // the result.
  std::wstring out(text.size(), L'\0');
  wchar_t* end = out.data();
  const char* const stop = text.data() + text.size();
  WalkBlocks(
      text.data(), stop, [&](const char* block) { end = CopyAsciiBlock(block, end); },
      [&](const char** in) { *end++ = static_cast<wchar_t>(DecodeUtf8(in, stop)); });
  out.resize(end - out.data());
  return out;
}

std::wstring ToLower(std::wstring_view text) {
  std::wstring result(text);
  Letters().tolower(result.data(), result.data() + result.size());
  return result;
}

std::wstring ToUpper(std::wstring_view text) {
  std::wstring result(text);
  Letters().toupper(result.data(), result.data() + result.size());
  return result;
}

bool IsLetter(wchar_t c) { return Letters().is(std::ctype_base::alpha, c); }

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  const std::ctype<wchar_t>& letters = Letters();
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && letters.tolower(a[i]) != letters.tolower(b[i])) return false;
  }
  return true;
}

}  // namespace ovc
