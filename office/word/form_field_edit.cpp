#include "office/word/form_field_edit.h"

#include <optional>

#include "automation/text.h"
#include "office/word/form_field_data.h"
#include "office/word/form_field_value.h"

namespace ovc::word {
namespace {

// Records an edit of the field's w:ffData, which moves no text.
void NoteDataChanged(WordDocument& document, const FieldInfo& field) {
  document.NoteReplaced(field.story, field.span.start, field.span.start, field.span.start);
}

HRESULT WriteCheckBox(WordDocument& document, const FieldInfo& field, std::wstring_view text,
                      std::string* reason) {
  const std::optional<bool> checked = ParseCheckBox(text);
  if (!checked) {
    *reason = "'" + ToUtf8(text) + "' is not a check box value (1, 0, True or False)";
    return E_INVALIDARG;
  }
  SetChecked(field.form_data, *checked);
  NoteDataChanged(document, field);
  return S_OK;
}

HRESULT WriteDropDown(WordDocument& document, const FieldInfo& field, std::wstring_view text,
                      std::string* reason) {
  const int32_t entry = FindListEntry(ReadFormFieldData(field.form_data), text);
  if (entry < 0) {
    *reason = "'" + ToUtf8(text) + "' is not one of the listed entries";
    return E_INVALIDARG;
  }
  SetSelectedEntry(field.form_data, entry);
  NoteDataChanged(document, field);
  return S_OK;
}

}  // namespace

std::vector<FieldInfo> FormFieldsIn(const WordDocument& document, const TextSpan& span) {
  std::vector<FieldInfo> found;
  for (FieldInfo& field : document.FieldsIn(span)) {
    if (FormFieldKindOf(field.code) != FormFieldKind::kNone && field.span.end <= span.end) {
      found.push_back(std::move(field));
    }
  }
  return found;
}

std::wstring FormFieldName(const FieldInfo& field) {
  return ReadFormFieldData(field.form_data).name;
}

std::wstring ReadFormFieldResult(const WordDocument& document, const FieldInfo& field) {
  switch (FormFieldKindOf(field.code)) {
    case FormFieldKind::kCheckBox:
      return CheckBoxResult(ReadFormFieldData(field.form_data));
    case FormFieldKind::kDropDown:
      return DropDownResult(ReadFormFieldData(field.form_data));
    default:
      return document.Text(field.result);
  }
}

HRESULT WriteFormFieldResult(WordDocument& document, const FieldInfo& field, std::wstring_view text,
                             std::string* reason) {
  const FormFieldKind kind = FormFieldKindOf(field.code);
  if (kind != FormFieldKind::kText && !field.form_data) {
    *reason = "the field has no form field data";
    return E_ACCESSDENIED;
  }
  if (kind == FormFieldKind::kCheckBox) return WriteCheckBox(document, field, text, reason);
  if (kind == FormFieldKind::kDropDown) return WriteDropDown(document, field, text, reason);
  std::wstring stored;
  if (!PrepareTextResult(text, ReadFormFieldData(field.form_data), &stored, reason)) {
    return E_INVALIDARG;
  }
  return document.SetFieldResult(field, stored, reason);
}

}  // namespace ovc::word
