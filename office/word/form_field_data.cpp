#include "office/word/form_field_data.h"

#include <algorithm>

#include "automation/text.h"
#include "office/word/word_markup.h"

namespace ovc::word {
namespace {

std::wstring ValueText(pugi::xml_node element) {
  return FromUtf8(WordAttribute(element, "val").value());
}

// Where w:ffData's own children and those of its choices go.
constexpr std::string_view kFormDataOrder[] = {
    "name",      "label",    "tabIndex",   "enabled",  "calcOnExit", "entryMacro",
    "exitMacro", "helpText", "statusText", "checkBox", "ddList",     "textInput"};
constexpr std::string_view kCheckBoxOrder[] = {"size", "sizeAuto", "default", "checked"};
constexpr std::string_view kListOrder[] = {"result", "default", "listEntry"};

void ReadCheckBox(pugi::xml_node check_box, FormFieldData* data) {
  const pugi::xml_node checked = WordChild(check_box, "checked");
  data->checked = checked ? IsOn(checked) : IsOn(WordChild(check_box, "default"));
}

void ReadList(pugi::xml_node list, FormFieldData* data) {
  for (pugi::xml_node child = list.first_child(); child; child = child.next_sibling()) {
    if (IsWord(child, "listEntry")) data->entries.push_back(ValueText(child));
  }
  const int32_t by_default = IntegerValue(WordChild(list, "default"), 0);
  data->selected = IntegerValue(WordChild(list, "result"), by_default);
}

}  // namespace

FormFieldKind FormFieldKindOf(std::wstring_view code) {
  const size_t start = code.find_first_not_of(L' ');
  if (start == std::wstring_view::npos) return FormFieldKind::kNone;
  const std::wstring_view rest = code.substr(start);
  const std::wstring_view word = rest.substr(0, rest.find(L' '));
  if (EqualsNoCase(word, L"FORMTEXT")) return FormFieldKind::kText;
  if (EqualsNoCase(word, L"FORMCHECKBOX")) return FormFieldKind::kCheckBox;
  if (EqualsNoCase(word, L"FORMDROPDOWN")) return FormFieldKind::kDropDown;
  return FormFieldKind::kNone;
}

FormFieldData ReadFormFieldData(pugi::xml_node ff_data) {
  FormFieldData data;
  data.name = ValueText(WordChild(ff_data, "name"));
  if (const pugi::xml_node enabled = WordChild(ff_data, "enabled")) data.enabled = IsOn(enabled);
  if (const pugi::xml_node text = WordChild(ff_data, "textInput")) {
    data.max_length = std::max(IntegerValue(WordChild(text, "maxLength"), 0), 0);
    data.default_text = ValueText(WordChild(text, "default"));
  }
  if (const pugi::xml_node check_box = WordChild(ff_data, "checkBox")) {
    ReadCheckBox(check_box, &data);
  }
  if (const pugi::xml_node list = WordChild(ff_data, "ddList")) ReadList(list, &data);
  return data;
}

void SetChecked(pugi::xml_node ff_data, bool checked) {
  const pugi::xml_node check_box = WordChildOrAdd(ff_data, "checkBox", kFormDataOrder);
  SetWordAttribute(WordChildOrAdd(check_box, "checked", kCheckBoxOrder), "val",
                   checked ? "1" : "0");
}

void SetSelectedEntry(pugi::xml_node ff_data, int32_t index) {
  const pugi::xml_node list = WordChildOrAdd(ff_data, "ddList", kFormDataOrder);
  SetWordAttribute(WordChildOrAdd(list, "result", kListOrder), "val", std::to_string(index));
}

}  // namespace ovc::word
