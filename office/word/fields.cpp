#include "office/word/fields.h"

#include <utility>
#include <vector>

#include "automation/text.h"
#include "office/word/form_field_data.h"
#include "office/word/form_field_value.h"
#include "office/word/range.h"

namespace ovc::word {

Fields::Fields(ComPtr<Document> document, std::shared_ptr<LiveSpan> scope)
    : document_(std::move(document)), scope_(std::move(scope)) {}

TextSpan Fields::Scope() const {
  if (scope_) return scope_->span;
  return TextSpan{0, 0, document_->model().story_length(0)};
}

HRESULT Fields::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(document_->model().FieldsIn(Scope()).size());
  return S_OK;
}

HRESULT Fields::Item(int32_t index, IDispatch** field) {
  const std::vector<FieldInfo> fields = document_->model().FieldsIn(Scope());
  if (index < 1 || static_cast<size_t>(index) > fields.size()) {
    return Fail(DISP_E_BADINDEX, office::Describe(document_->file_name(), "Fields",
                                                  "no field at index " + std::to_string(index)));
  }
  *field = MakeObject<Field>(document_, fields[index - 1]).Detach();
  return S_OK;
}

HRESULT Fields::Update(int32_t* failed) {
  *failed = document_->model().UpdateFields(Scope());
  return S_OK;
}

Field::Field(ComPtr<Document> document, const FieldInfo& field)
    : document_(std::move(document)), span_(document_->model().Track(field.span)) {}

ComPtr<Range> Field::ResultOf(const FieldInfo& field) const {
  const FormFieldData data = ReadFormFieldData(field.form_data);
  const std::string where = data.name.empty() ? "Field" : "form field '" + ToUtf8(data.name) + "'";
  switch (FormFieldKindOf(field.code)) {
    case FormFieldKind::kCheckBox:
      return Range::Shown(document_, field.result, where, CheckBoxResult(data));
    case FormFieldKind::kDropDown:
      return Range::Shown(document_, field.result, where, DropDownResult(data));
    case FormFieldKind::kText:
    case FormFieldKind::kNone:
      break;
  }
  return MakeObject<Range>(document_, field.result, where);
}

HRESULT Field::get_Result(IDispatch** range) {
  const TextSpan at = span_->span;
  for (const FieldInfo& field : document_->model().FieldsIn({at.story, at.start, at.start + 1})) {
    if (field.span.start == at.start && field.span.end == at.end) {
      *range = ResultOf(field).Detach();
      return S_OK;
    }
  }
  return Fail(DISP_E_BADINDEX, office::Describe(document_->file_name(), "Field",
                                                "the field is no longer in the document"));
}

}  // namespace ovc::word
