#include "ovcbridgesvcs/apps/word_app_text.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace ovc::apps::word {
namespace {

constexpr wchar_t kEnSpace = L'\u2002';
constexpr std::wstring_view kFieldCode = L"FORMTEXT";

void DropEndMark(std::wstring& text) {
  if (text.ends_with(L"\r\a")) {
    text.resize(text.size() - 2);
  } else if (text.ends_with(L'\r')) {
    text.pop_back();
  }
}

void DropFieldCode(std::wstring& text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return;
  if (std::wstring_view(text).substr(first).starts_with(kFieldCode)) {
    text.erase(0, first + kFieldCode.size());
  }
}

// Word counts UTF-16 units: a character beyond the basic plane takes two.
size_t Utf16Units(wchar_t c) { return static_cast<uint32_t>(c) > 0xFFFF ? 2 : 1; }

}  // namespace

std::wstring ValueOfShownText(std::wstring text) {
  DropEndMark(text);
  DropFieldCode(text);
  if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c == kEnSpace; })) return {};
  std::replace(text.begin(), text.end(), kEnSpace, L' ');
  return text;
}

bool CutToFormFieldResult(std::wstring* text) {
  size_t units = 0;
  for (size_t kept = 0; kept < text->size(); ++kept) {
    units += Utf16Units((*text)[kept]);
    if (units > kFormFieldResultLimit) {
      text->resize(kept);
      return true;
    }
  }
  return false;
}

}  // namespace ovc::apps::word
