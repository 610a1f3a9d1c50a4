#include "office/word/converted_form_fields.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "automation/text.h"
#include "office/word/word_names.h"

namespace ovc::word {
namespace {

constexpr std::string_view kCopySuffix = "_Copy_";

// `name` without its trailing "_Copy_<n>" suffixes.
std::string_view FirstName(std::string_view name) {
  for (;;) {
    const size_t suffix = name.rfind(kCopySuffix);
    if (suffix == std::string_view::npos || suffix == 0) return name;
    const std::string_view number = name.substr(suffix + kCopySuffix.size());
    if (number.empty() || !std::all_of(number.begin(), number.end(), IsAsciiDigit<char>)) {
      return name;
    }
    name = name.substr(0, suffix);
  }
}

struct FormField {
  pugi::xml_node begin_run;
  pugi::xml_attribute name;  // w:ffData/w:name/@w:val
};

// What the repair looks at in a part, in document order.
struct PartMarks {
  std::vector<FormField> fields;  // whose begin mark names them
  std::vector<pugi::xml_node> bookmark_starts;
  std::unordered_map<std::string, pugi::xml_node> bookmark_ends;  // by w:id
};

PartMarks ReadMarks(const WordNames& names, const pugi::xml_document& part) {
  PartMarks marks;
  std::vector<pugi::xml_node> stack{part.document_element()};
  while (!stack.empty()) {
    const pugi::xml_node node = stack.back();
    stack.pop_back();
    if (names.Is(node, "bookmarkStart")) marks.bookmark_starts.push_back(node);
    if (names.Is(node, "bookmarkEnd")) {
      marks.bookmark_ends.emplace(names.Attribute(node, "id").value(), node);
    }
    if (names.Is(node, "fldChar") &&
        std::string_view(names.Attribute(node, "fldCharType").value()) == "begin") {
      const pugi::xml_node name = names.Child(names.Child(node, "ffData"), "name");
      if (name && names.Is(node.parent(), "r")) {
        marks.fields.push_back({node.parent(), names.Attribute(name, "val")});
      }
    }
    for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) {
      if (child.type() == pugi::node_element) stack.push_back(child);
    }
  }
  return marks;
}

// The bookmark starts after the field's begin run and before its next field
// mark whose first name is `name`.
std::vector<pugi::xml_node> MisplacedBookmarks(const WordNames& names, const FormField& field,
                                               std::string_view name) {
  std::vector<pugi::xml_node> misplaced;
  for (pugi::xml_node sibling = field.begin_run.next_sibling(); sibling;
       sibling = sibling.next_sibling()) {
    if (names.Is(sibling, "r") && names.Child(sibling, "fldChar")) break;
    if (names.Is(sibling, "bookmarkStart") &&
        FirstName(names.Attribute(sibling, "name").value()) == name) {
      misplaced.push_back(sibling);
    }
  }
  return misplaced;
}

bool Contains(const std::vector<pugi::xml_node>& nodes, pugi::xml_node node) {
  return std::find(nodes.begin(), nodes.end(), node) != nodes.end();
}

bool NameTakenElsewhere(const WordNames& names, const PartMarks& marks,
                        const std::vector<pugi::xml_node>& misplaced, std::string_view name) {
  return std::any_of(marks.bookmark_starts.begin(), marks.bookmark_starts.end(),
                     [&](pugi::xml_node start) {
                       return !Contains(misplaced, start) &&
                              EqualsAsciiNoCase(names.Attribute(start, "name").value(), name);
                     });
}

void RemoveBookmark(const WordNames& names, pugi::xml_node start, PartMarks* marks) {
  const auto end = marks->bookmark_ends.find(names.Attribute(start, "id").value());
  if (end != marks->bookmark_ends.end()) {
    end->second.parent().remove_child(end->second);
    marks->bookmark_ends.erase(end);
  }
  std::erase(marks->bookmark_starts, start);
  start.parent().remove_child(start);
}

}  // namespace

bool RepairConvertedFormFields(pugi::xml_document* part) {
  const WordNames names(*part);
  PartMarks marks = ReadMarks(names, *part);
  bool changed = false;
  for (FormField field : marks.fields) {
    const std::string name(FirstName(field.name.value()));
    const std::vector<pugi::xml_node> misplaced = MisplacedBookmarks(names, field, name);
    if (name.empty() || misplaced.empty() || NameTakenElsewhere(names, marks, misplaced, name)) {
      continue;
    }
    // The original keeps its name; the copies the conversion added go.
    const auto original = std::find_if(
        misplaced.begin(), misplaced.end(),
        [&](pugi::xml_node start) { return names.Attribute(start, "name").value() == name; });
    const pugi::xml_node kept = original != misplaced.end() ? *original : misplaced.front();
    for (const pugi::xml_node copy : misplaced) {
      if (copy != kept) RemoveBookmark(names, copy, &marks);
    }
    field.begin_run.parent().insert_move_before(kept, field.begin_run);
    names.Attribute(kept, "name").set_value(name.c_str());
    field.name.set_value(name.c_str());
    changed = true;
  }
  return changed;
}

}  // namespace ovc::word
