#include "ovcbridgesvcs/xml/variant_util.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

#include "automation/dom/typed_value.h"
#include "automation/dom/xml_chars.h"
#include "automation/error_info.h"
#include "automation/number_text.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"

namespace ovc::xml {
namespace {

// Whether EscapeXmlText writes `c` as a character reference.
bool NeedsReference(wchar_t c) { return c < 32 || c == L'&'; }

std::string ReferenceText(wchar_t c) { return "&#" + std::to_string(static_cast<int>(c)) + ";"; }

// Hands `text` to `plain` in the runs EscapeXmlText keeps as they are and
// to `reference` as the references of the other characters, in order.
template <class Plain, class Reference>
void ForEachEscapedPiece(std::wstring_view text, Plain&& plain, Reference&& reference) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!NeedsReference(text[i])) continue;
    plain(text.substr(start, i - start));
    reference(ReferenceText(text[i]));
    start = i + 1;
  }
  plain(text.substr(start));
}

bool IsAscii(wchar_t c) { return c >= 0 && c < 0x80; }

bool AllXmlChars(std::wstring_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](wchar_t c) { return dom::IsXmlChar(static_cast<char32_t>(c)); });
}

// Appends the leading ASCII characters of `run` to *out; returns how many.
size_t AppendAsciiPrefix(std::wstring_view run, std::string* out) {
  const size_t start = out->size();
  out->resize(start + run.size());
  char* const first = out->data() + start;
  char* end = first;
  for (const wchar_t c : run) {
    if (!IsAscii(c)) break;
    *end++ = static_cast<char>(c);
  }
  const auto copied = static_cast<size_t>(end - first);
  out->resize(start + copied);
  return copied;
}

// Appends `run`, which holds no character below 32, to *out as UTF-8: ASCII
// copied, the rest through ToUtf8. False at a character no XML document can
// hold.
bool AppendUtf8Run(std::wstring_view run, std::string* out) {
  while (true) {
    run.remove_prefix(AppendAsciiPrefix(run, out));
    if (run.empty()) return true;
    const auto other = std::find_if(run.begin(), run.end(), IsAscii) - run.begin();
    const std::wstring_view wide = run.substr(0, static_cast<size_t>(other));
    if (!AllXmlChars(wide)) return false;
    out->append(ToUtf8(wide));
    run.remove_prefix(wide.size());
  }
}

// "%.16g" without the locale: to_chars gives the same digits with ".".
std::wstring RealText(double value) {
  std::array<char, 64> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::general, 16);
  return error == std::errc() ? FromUtf8(std::string_view(buffer.data(), end)) : std::wstring();
}

// The number a text starts with (after blanks, with an optional sign), as
// "%lf" scans it.
bool LeadingReal(std::wstring_view text, double* value) {
  size_t start = 0;
  while (start < text.size() && IsBlankOrFeed(text[start])) ++start;
  std::string narrow;
  for (size_t i = start; i < text.size() && text[i] < 0x80 && !IsBlankOrFeed(text[i]); ++i) {
    narrow += static_cast<char>(text[i]);
  }
  std::string_view digits = narrow;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '+' || negative)) digits.remove_prefix(1);
  if (digits.empty() || digits.front() == '+' || digits.front() == '-') return false;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), *value);
  if (result.ec != std::errc() || !std::isfinite(*value)) return false;
  if (negative) *value = -*value;
  return true;
}

}  // namespace

std::wstring EscapeXmlText(std::wstring_view text) {
  std::wstring escaped;
  escaped.reserve(text.size());
  ForEachEscapedPiece(
      text, [&](std::wstring_view run) { escaped.append(run); },
      [&](const std::string& reference) { escaped.append(reference.begin(), reference.end()); });
  return escaped;
}

bool AppendEscapedUtf8(std::wstring_view text, std::string* out) {
  bool allowed = true;
  ForEachEscapedPiece(
      text, [&](std::wstring_view run) { allowed = allowed && AppendUtf8Run(run, out); },
      [&](const std::string& reference) { out->append(reference); });
  return allowed;
}

std::wstring UnescapeXmlText(std::wstring_view text) {
  std::wstring plain;
  plain.reserve(text.size());
  ForEachCharacterCode(
      text, [&](std::wstring_view run) { plain.append(run); },
      [&](uint16_t code) { plain.push_back(static_cast<wchar_t>(code)); });
  return plain;
}

HRESULT FormatForXML(const Variant& value, std::wstring* text) {
  CMethodFrame frame(L"VariantUtil::FormatForXML");
  return RunMethod(frame, [&]() -> HRESULT {
    if (text == nullptr) return E_POINTER;
    const Variant plain = value.Dereferenced();
    if (plain.vt() == VT_R8 || plain.vt() == VT_DATE) {
      *text = RealText(plain.vt() == VT_R8 ? plain.r8() : plain.date());
      return S_OK;
    }
    if (plain.vt() == VT_DISPATCH || plain.vt() == VT_UNKNOWN) {
      RaiseErrorText(frame, SourceLocation::Current(), E_INVALIDARG,
                     L"Cannot convert a object into an XML string");
    }
    std::wstring converted;
    if (Failed(dom::TypedValueText(plain, &converted))) {
      SetErrorInfo(nullptr);
      RaiseErrorText(frame, SourceLocation::Current(), E_INVALIDARG,
                     L"No defined XML format for variant type");
    }
    *text = std::move(converted);
    return S_OK;
  });
}

bool BooleanFromText(std::wstring_view text, bool* value) {
  if (text == L"0" || text == L"1") {
    *value = text == L"1";
    return true;
  }
  if (text.empty()) return false;
  struct Word {
    wchar_t first;
    std::wstring_view text;
    bool value;
  };
  static constexpr std::array<Word, 6> kWords = {{{L'f', L"false", false},
                                                  {L'n', L"no", false},
                                                  {L't', L"true", true},
                                                  {L'y', L"yes", true},
                                                  {L'o', L"on", true},
                                                  {L'o', L"off", false}}};
  const wchar_t first = ToLower(text.substr(0, 1)).front();
  for (const Word& word : kWords) {
    if (word.first == first && word.text == text) {
      *value = word.value;
      return true;
    }
  }
  return false;
}

HRESULT ValueFromXMLText(std::wstring_view text, VARTYPE vt, Variant* value, bool* converted) {
  CMethodFrame frame(L"VariantUtil::ValueFromXMLText");
  return RunMethod(frame, [&]() -> HRESULT {
    if (value == nullptr || converted == nullptr) return E_POINTER;
    *converted = false;
    *value = Variant::Null();
    if (vt != VT_I4 && vt != VT_R8 && vt != VT_DATE && vt != VT_BSTR && vt != VT_BOOL) {
      RaiseErrorText(frame, SourceLocation::Current(), E_FAIL,
                     L"No defined XML format for given type");
    }
    if (text.empty() && vt != VT_BSTR) return S_OK;
    double real = 0;
    bool flag = false;
    if (vt == VT_I4) {
      *value = Variant::I4(LeadingInteger(text));
    } else if (vt == VT_BSTR) {
      *value = Variant(std::wstring(text));
    } else if (vt == VT_BOOL) {
      if (!BooleanFromText(text, &flag)) {
        RaiseErrorText(frame, SourceLocation::Current(), E_FAIL,
                       L"The text is not a boolean: " + std::wstring(text));
      }
      *value = Variant::Bool(flag);
    } else if (LeadingReal(text, &real)) {
      *value = vt == VT_DATE ? Variant::Date(real) : Variant::R8(real);
    } else {
      return S_OK;
    }
    *converted = true;
    return S_OK;
  });
}

}  // namespace ovc::xml
