#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace ovc::word {

// The legacy form fields: a text box, a check box, a drop-down list.
enum class FormFieldKind { kNone, kText, kCheckBox, kDropDown };

// The kind a field code names by its first word ("FORMTEXT", "FORMCHECKBOX",
// "FORMDROPDOWN", without regard to case); kNone for every other field.
FormFieldKind FormFieldKindOf(std::wstring_view code);

// What a form field's w:ffData holds; a field without one (a w:fldSimple
// form field) has the defaults.
struct FormFieldData {
  std::wstring name;
  // w:enabled: empty when absent.
  std::optional<bool> enabled;
  // w:textInput: w:maxLength (0 when absent or not positive) and w:default.
  int32_t max_length = 0;
  std::wstring default_text;
  // w:checkBox: w:checked, else w:default.
  bool checked = false;
  // w:ddList: the entries and the selected one (w:result, else w:default,
  // else 0); `selected` may be out of range in a damaged file.
  std::vector<std::wstring> entries;
  int32_t selected = 0;
};

// Reads `ff_data` (a w:ffData element, or empty).
FormFieldData ReadFormFieldData(pugi::xml_node ff_data);

// Sets w:checkBox/w:checked, adding the elements where the schema puts them.
void SetChecked(pugi::xml_node ff_data, bool checked);
// Sets w:ddList/w:result to `index` (0-based).
void SetSelectedEntry(pugi::xml_node ff_data, int32_t index);

}  // namespace ovc::word
