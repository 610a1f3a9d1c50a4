#include "office/word/form_field_value.h"

#include "automation/text.h"

namespace ovc::word {
namespace {

// The length of `text` in UTF-16 units, as the word processor counts it.
int64_t Utf16Length(std::wstring_view text) {
  int64_t length = 0;
  for (const wchar_t c : text) length += static_cast<uint32_t>(c) > 0xFFFF ? 2 : 1;
  return length;
}

}  // namespace

std::wstring CheckBoxResult(const FormFieldData& data) { return data.checked ? L"1" : L"0"; }

std::wstring DropDownResult(const FormFieldData& data) {
  if (data.entries.empty()) return {};
  const size_t selected = static_cast<size_t>(data.selected);
  return data.entries[selected < data.entries.size() ? selected : 0];
}

std::optional<bool> ParseCheckBox(std::wstring_view text) {
  if (text == L"1" || EqualsNoCase(text, L"True")) return true;
  if (text == L"0" || EqualsNoCase(text, L"False")) return false;
  return std::nullopt;
}

int32_t FindListEntry(const FormFieldData& data, std::wstring_view text) {
  int32_t found = -1;
  int32_t matches = 0;
  for (size_t index = 0; index < data.entries.size(); ++index) {
    if (data.entries[index] == text) return static_cast<int32_t>(index);
    if (EqualsNoCase(data.entries[index], text)) {
      found = static_cast<int32_t>(index);
      ++matches;
    }
  }
  return matches == 1 ? found : -1;
}

bool PrepareTextResult(std::wstring_view text, const FormFieldData& data, std::wstring* stored,
                       std::string* reason) {
  const int64_t length = Utf16Length(text);
  if (length > kMaxFormTextLength) {
    *reason = "text of " + std::to_string(length) + " characters is longer than the " +
              std::to_string(kMaxFormTextLength) + " a form field holds";
    return false;
  }
  if (data.max_length > 0 && length > data.max_length) {
    *reason = "text of " + std::to_string(length) + " characters is longer than the field's " +
              "maximum length of " + std::to_string(data.max_length);
    return false;
  }
  *stored = text.empty() ? std::wstring(kEmptyFormText) : std::wstring(text);
  return true;
}

bool IsFormFieldLocked(const FormFieldData& data, bool protected_for_forms) {
  if (data.enabled.has_value()) return !*data.enabled;
  return protected_for_forms;
}

}  // namespace ovc::word
