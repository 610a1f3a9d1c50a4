#include "office/word/form_fields.h"

#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"
#include "office/word/document_settings.h"
#include "office/word/form_field_data.h"
#include "office/word/form_field_edit.h"
#include "office/word/form_field_value.h"

namespace ovc::word {

FormFields::FormFields(ComPtr<Document> document, const TextSpan& span)
    : document_(std::move(document)), span_(document_->model().Track(span)) {}

HRESULT FormFields::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(FormFieldsIn(document_->model(), span_->span).size());
  return S_OK;
}

HRESULT FormFields::Item(const Variant& index, IDispatch** form_field) {
  const std::vector<FieldInfo> fields = FormFieldsIn(document_->model(), span_->span);
  const Variant value = index.Dereferenced();
  const std::string& file = document_->file_name();
  if (value.vt() == VT_BSTR) {
    for (const FieldInfo& field : fields) {
      if (EqualsNoCase(FormFieldName(field), value.bstr())) {
        *form_field = MakeObject<FormField>(document_, field).Detach();
        return S_OK;
      }
    }
    return Fail(DISP_E_BADINDEX,
                office::Describe(file, "form field '" + ToUtf8(value.bstr()) + "'", "not found"));
  }
  Variant position;
  if (Failed(VariantChangeType(&position, value, 0, VT_I4))) {
    return Fail(DISP_E_TYPEMISMATCH,
                office::Describe(file, "FormFields", "the index is neither a position nor a name"));
  }
  if (position.i4() < 1 || position.i4() > static_cast<int32_t>(fields.size())) {
    return Fail(DISP_E_BADINDEX,
                office::Describe(file, "FormFields",
                                 "no form field at position " + std::to_string(position.i4()) +
                                     " of " + std::to_string(fields.size())));
  }
  *form_field = MakeObject<FormField>(document_, fields[position.i4() - 1]).Detach();
  return S_OK;
}

FormField::FormField(ComPtr<Document> document, const FieldInfo& field)
    : document_(std::move(document)),
      span_(document_->model().Track(field.span)),
      name_(ToUtf8(FormFieldName(field))) {}

HRESULT FormField::FailHere(HRESULT code, std::string_view reason) {
  return Fail(code, office::Describe(document_->file_name(), "form field '" + name_ + "'", reason));
}

HRESULT FormField::Lookup(FieldInfo* field) {
  for (FieldInfo& found : FormFieldsIn(document_->model(), span_->span)) {
    if (found.span.start == span_->span.start) {
      *field = std::move(found);
      return S_OK;
    }
  }
  return FailHere(DISP_E_BADINDEX, "is no longer in the document");
}

bool FormField::IsLocked(const FieldInfo& field) const {
  return IsFormFieldLocked(ReadFormFieldData(field.form_data),
                           document_->protection_type() == kAllowOnlyFormFields);
}

HRESULT FormField::get_Name(std::wstring* name) {
  FieldInfo field;
  if (HRESULT hr = Lookup(&field); Failed(hr)) return hr;
  *name = FormFieldName(field);
  return S_OK;
}

HRESULT FormField::get_Locked(VARIANT_BOOL* locked) {
  FieldInfo field;
  if (HRESULT hr = Lookup(&field); Failed(hr)) return hr;
  *locked = IsLocked(field) ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT FormField::get_Result(std::wstring* result) {
  FieldInfo field;
  if (HRESULT hr = Lookup(&field); Failed(hr)) return hr;
  *result = ReadFormFieldResult(document_->model(), field);
  return S_OK;
}

HRESULT FormField::put_Result(const std::wstring& result) {
  FieldInfo field;
  if (HRESULT hr = Lookup(&field); Failed(hr)) return hr;
  if (IsLocked(field)) return FailHere(E_ACCESSDENIED, "is locked");
  // Protection for forms is there to let form fields be filled in.
  std::string refusal = document_->TextWriteRefusal();
  if (document_->protection_type() == kAllowOnlyFormFields &&
      !document_->file()->settings().TrackRevisions()) {
    refusal.clear();
  }
  if (!refusal.empty()) return FailHere(E_ACCESSDENIED, refusal);
  std::string reason;
  if (HRESULT hr = WriteFormFieldResult(document_->model(), field, result, &reason); Failed(hr)) {
    return FailHere(hr, reason);
  }
  return S_OK;
}

}  // namespace ovc::word
