#include "office/word/field_scan.h"

#include <vector>

#include "automation/text.h"
#include "office/word/inline_cursor.h"

namespace ovc::word {
namespace {

// Fields still open while walking: an index into the result, or -1 for one
// begun past the span, followed only to keep the nesting right.
class FieldStack {
 public:
  explicit FieldStack(std::vector<FieldInfo>* fields) : fields_(fields) {}
  bool empty() const { return open_.empty(); }
  FieldInfo* top() {
    return open_.empty() || open_.back() < 0 ? nullptr : &(*fields_)[open_.back()];
  }
  void Push(FieldInfo field, bool listed) {
    if (listed) fields_->push_back(std::move(field));
    open_.push_back(listed ? static_cast<int32_t>(fields_->size()) - 1 : -1);
  }
  FieldInfo* Pop() {
    FieldInfo* field = top();
    open_.pop_back();
    return field;
  }

 private:
  std::vector<FieldInfo>* fields_;
  std::vector<int32_t> open_;
};

}  // namespace

bool IsFormFieldCode(std::wstring_view code) {
  const std::wstring keyword = FieldKeyword(code);
  return keyword == L"FORMTEXT" || keyword == L"FORMCHECKBOX" || keyword == L"FORMDROPDOWN";
}

std::wstring FieldKeyword(std::wstring_view code) {
  const std::wstring_view trimmed = TrimBlanks(code);
  return ToUpper(trimmed.substr(0, trimmed.find_first_of(L" \t")));
}

std::vector<FieldInfo> ScanFields(const Story& story, StoryIndex index, int32_t start,
                                  int32_t end) {
  std::vector<FieldInfo> fields;
  FieldStack stack(&fields);
  const WordNames& names = story.names();
  for (int32_t segment = story.SegmentAt(start); segment < story.segment_count(); ++segment) {
    const int32_t at = story.SegmentStart(segment);
    if (at >= end && stack.empty()) break;
    if (story.segment(segment).row_end) continue;
    InlineCursor cursor(names, story.segment(segment).node);
    while (cursor.Next()) {
      const int32_t position = at + cursor.position();
      const pugi::xml_node node = cursor.node();
      switch (cursor.event()) {
        case InlineEvent::kFieldChar: {
          const std::string_view type = names.Attribute(node, "fldCharType").value();
          if (type == "begin") {
            FieldInfo field;
            field.story = index;
            field.begin = node;
            field.form_data = names.Child(node, "ffData");
            field.span = {index, position, position};
            stack.Push(std::move(field), position >= start && position < end);
          } else if (stack.empty()) {
          } else if (type == "separate") {
            if (FieldInfo* field = stack.top()) {
              field->separate = node;
              field->result = {index, position + 1, position + 1};
            }
          } else if (type == "end") {
            if (FieldInfo* field = stack.Pop()) {
              field->end = node;
              field->span.end = position + 1;
              if (!field->separate) field->result = {index, position, position};
              field->result.end = position;
              field->code = std::wstring(TrimBlanks(field->code));
            }
          }
          break;
        }
        case InlineEvent::kSimpleBegin: {
          FieldInfo field;
          field.story = index;
          field.begin = node;
          field.code = std::wstring(TrimBlanks(FromUtf8(names.Attribute(node, "instr").value())));
          field.span = {index, position, position};
          field.result = {index, position + 1, position + 1};
          stack.Push(std::move(field), position >= start && position < end);
          break;
        }
        case InlineEvent::kSimpleEnd:
          if (FieldInfo* field = stack.empty() ? nullptr : stack.Pop()) {
            field->span.end = position + 1;
            field->result.end = position;
          }
          break;
        case InlineEvent::kPassed:
          if (FieldInfo* field = stack.top(); field && !field->separate &&
                                              !names.Is(field->begin, "fldSimple") &&
                                              names.Is(node, "instrText")) {
            field->code += FromUtf8(node.child_value());
          }
          break;
        default:
          break;
      }
    }
  }
  // A begin mark the story never ends is no field.
  std::erase_if(fields, [&names](const FieldInfo& field) {
    return !field.end && !names.Is(field.begin, "fldSimple");
  });
  return fields;
}

}  // namespace ovc::word
