#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "office/word/form_field_data.h"

namespace ovc::word {

// The results of legacy form fields as automation reads and writes them.

// The most characters (UTF-16 units) a text form field's result holds.
inline constexpr int32_t kMaxFormTextLength = 255;

// What an empty text result is stored as: five en spaces.
inline constexpr std::wstring_view kEmptyFormText = L"\u2002\u2002\u2002\u2002\u2002";

// A check box reads "1" when checked, else "0".
std::wstring CheckBoxResult(const FormFieldData& data);
// A drop-down reads its selected entry; "" when it has none.
std::wstring DropDownResult(const FormFieldData& data);

// The state a check box takes from `text`: "1" or "True" checks it, "0" or
// "False" clears it (any case); empty for anything else.
std::optional<bool> ParseCheckBox(std::wstring_view text);

// The 0-based index of the drop-down entry `text` names: the entry equal to
// it, else the only one equal without regard to case; -1 when none or
// several match.
int32_t FindListEntry(const FormFieldData& data, std::wstring_view text);

// Checks a text result and gives what is stored for it (*stored; the empty
// text becomes kEmptyFormText). False with *reason when it is longer than
// kMaxFormTextLength or the field's maximum length: it is never cut.
bool PrepareTextResult(std::wstring_view text, const FormFieldData& data, std::wstring* stored,
                       std::string* reason);

// True when automation may not write the field's result: it is disabled, or
// the document is protected for forms and the field is not marked enabled.
bool IsFormFieldLocked(const FormFieldData& data, bool protected_for_forms);

}  // namespace ovc::word
