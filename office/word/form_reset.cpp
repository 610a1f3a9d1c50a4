#include "office/word/form_reset.h"

#include <string>
#include <vector>

#include "office/word/form_field_data.h"
#include "office/word/form_field_value.h"
#include "office/word/word_markup.h"

namespace ovc::word {
namespace {

// Removes the `local` child of the `holder` child of ff_data; true when
// there was one.
bool RemoveState(pugi::xml_node ff_data, std::string_view holder, std::string_view local) {
  const pugi::xml_node state = WordChild(WordChild(ff_data, holder), local);
  return state && state.parent().remove_child(state);
}

void Reset(WordDocument& document, const FieldInfo& field) {
  switch (FormFieldKindOf(field.code)) {
    case FormFieldKind::kText: {
      const std::wstring text = ReadFormFieldData(field.form_data).default_text;
      std::string ignored;
      document.SetFieldResult(field, text.empty() ? kEmptyFormText : text, &ignored);
      return;
    }
    case FormFieldKind::kCheckBox:
    case FormFieldKind::kDropDown: {
      const bool unchecked = RemoveState(field.form_data, "checkBox", "checked");
      const bool unselected = RemoveState(field.form_data, "ddList", "result");
      if (unchecked || unselected) {
        document.NoteReplaced(field.story, field.span.start, field.span.end, field.span.end);
      }
      return;
    }
    case FormFieldKind::kNone:
      return;
  }
}

}  // namespace

void ResetFormFields(WordDocument& document) {
  for (StoryIndex story = 0; story < document.story_count(); ++story) {
    const std::vector<FieldInfo> fields =
        document.FieldsIn({story, 0, document.story_length(story)});
    // Last first, so that a result changing length moves no field still to do.
    for (auto field = fields.rbegin(); field != fields.rend(); ++field) {
      if (field->form_data) Reset(document, *field);
    }
  }
}

}  // namespace ovc::word
