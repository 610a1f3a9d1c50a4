#include "ovcbridgesvcs/links/template_token.h"

#include "automation/text.h"

namespace ovc::links {

bool FindToken(std::wstring_view text, size_t from, size_t* begin, size_t* end) {
  const size_t open = text.find(kTokenOpen, from);
  if (open == std::wstring_view::npos) return false;
  const size_t close = text.find(kTokenClose, open + kTokenOpen.size());
  if (close == std::wstring_view::npos) return false;
  *begin = open;
  *end = close + kTokenClose.size();
  return true;
}

std::optional<std::wstring_view> Argument(std::wstring_view token, std::wstring_view opening) {
  if (!token.starts_with(opening)) return std::nullopt;
  const std::wstring_view rest = token.substr(opening.size());
  const size_t close = rest.find(L')');
  if (close == std::wstring_view::npos) return std::nullopt;
  return rest.substr(0, close);
}

int Count(std::wstring_view argument, int otherwise) {
  size_t at = 0;
  while (at < argument.size() && IsBlankOrFeed(argument[at])) ++at;
  bool negative = false;
  if (at < argument.size() && (argument[at] == L'-' || argument[at] == L'+')) {
    negative = argument[at] == L'-';
    ++at;
  }
  if (at == argument.size() || !IsAsciiDigit(argument[at])) return otherwise;
  int magnitude = 0;
  for (; at < argument.size() && IsAsciiDigit(argument[at]); ++at) {
    if (magnitude <= kMaxCount) magnitude = magnitude * 10 + (argument[at] - L'0');
  }
  if (magnitude > kMaxCount) magnitude = kMaxCount;
  return negative ? -magnitude : magnitude;
}

std::optional<BoolTexts> QuotedTexts(std::wstring_view token, std::wstring_view opening) {
  if (!token.starts_with(opening)) return std::nullopt;
  BoolTexts texts;
  size_t at = opening.size();
  for (std::wstring_view& text : texts) {
    const size_t open = token.find(L'"', at);
    if (open == std::wstring_view::npos) return std::nullopt;
    const size_t close = token.find(L'"', open + 1);
    if (close == std::wstring_view::npos) return std::nullopt;
    text = token.substr(open + 1, close - open - 1);
    at = close + 1;
  }
  return texts;
}

}  // namespace ovc::links
