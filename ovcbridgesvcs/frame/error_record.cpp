#include "ovcbridgesvcs/frame/error_record.h"

#include <algorithm>
#include <array>

#include <fmt/xchar.h>

namespace ovc {
namespace {

constexpr std::wstring_view kRecordStart = L"<OVError";

struct NamedCode {
  HRESULT code;
  std::wstring_view name;
};

constexpr std::array kNamedCodes = {
    NamedCode{E_NOTIMPL, L"E_NOTIMPL"},         NamedCode{E_NOINTERFACE, L"E_NOINTERFACE"},
    NamedCode{E_POINTER, L"E_POINTER"},         NamedCode{E_FAIL, L"E_FAIL"},
    NamedCode{E_UNEXPECTED, L"E_UNEXPECTED"},   NamedCode{E_ACCESSDENIED, L"E_ACCESSDENIED"},
    NamedCode{E_OUTOFMEMORY, L"E_OUTOFMEMORY"}, NamedCode{E_INVALIDARG, L"E_INVALIDARG"},
};

}  // namespace

ErrorRecord::ErrorRecord() : text_(kRecordStart) { text_ += L' '; }

ErrorRecord& ErrorRecord::Add(std::wstring_view name, std::wstring_view value) {
  if (value.empty()) return *this;
  text_.append(name).append(L"=\"");
  const size_t start = text_.size();
  text_.append(value);
  std::replace(text_.begin() + static_cast<std::ptrdiff_t>(start), text_.end(), L'"', L'\'');
  text_.append(L"\" ");
  return *this;
}

ErrorRecord& ErrorRecord::AddHr(HRESULT code) { return Add(L"HR", HrAttributeValue(code)); }

ErrorRecord& ErrorRecord::AddLocation(std::wstring_view path, int32_t line) {
  Add(L"File", FileAttributeValue(path));
  return Add(L"Line", std::to_wstring(line));
}

std::wstring ErrorRecord::Finish() const { return text_ + L"/>"; }

bool IsErrorChain(std::wstring_view description) { return description.starts_with(kRecordStart); }

std::wstring HrAttributeValue(HRESULT code) {
  for (const NamedCode& named : kNamedCodes) {
    if (named.code == code) return std::wstring(named.name);
  }
  return fmt::format(L"0x{:x}", static_cast<uint32_t>(code));
}

std::wstring FileAttributeValue(std::wstring_view path) {
  constexpr std::wstring_view kSeparators = L"/\\";
  const size_t last = path.find_last_of(kSeparators);
  if (last == std::wstring_view::npos || last == 0) return std::wstring(path);
  const size_t before = path.find_last_of(kSeparators, last - 1);
  if (before == std::wstring_view::npos) return std::wstring(path);
  return std::wstring(path.substr(before + 1));
}

std::wstring ExtractDesc(std::wstring_view description) {
  if (!IsErrorChain(description)) return std::wstring(description);
  // Values never hold a double quote, so every '="' starts a value and the
  // next '"' ends it.
  size_t position = 0;
  while (true) {
    const size_t equals = description.find(L"=\"", position);
    if (equals == std::wstring_view::npos) return {};
    const size_t value_start = equals + 2;
    const size_t value_end = description.find(L'"', value_start);
    if (value_end == std::wstring_view::npos) return {};
    const std::wstring_view before = description.substr(0, equals);
    if (before.ends_with(L" Desc")) {
      return std::wstring(description.substr(value_start, value_end - value_start));
    }
    position = value_end + 1;
  }
}

std::wstring MessageText(HRESULT code) {
  if (const auto text = SystemMessage(code)) {
    std::wstring_view message = *text;
    if (message.ends_with(L'\n')) message.remove_suffix(1);
    if (message.ends_with(L'\r')) message.remove_suffix(1);
    return std::wstring(message);
  }
  return fmt::format(L"Unknown error 0x{:X}", static_cast<uint32_t>(code));
}

}  // namespace ovc
