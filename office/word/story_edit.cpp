#include "office/word/story_edit.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "automation/text.h"
#include "office/package/xml_names.h"
#include "office/word/field_scan.h"
#include "office/word/inline_cursor.h"

namespace ovc::word {
namespace {

constexpr char kParagraphBreak[] = "paragraph-break";

bool IsProperties(std::string_view local) { return local.ends_with("Pr"); }

// The family of a mark that opens or closes a stretch ("bookmark" for
// w:bookmarkStart), and whether it opens it.
std::string_view MarkFamily(std::string_view local, bool* opens) {
  *opens = local.ends_with("Start");
  if (*opens) return local.substr(0, local.size() - 5);
  return local.ends_with("End") ? local.substr(0, local.size() - 3) : local;
}

// A copy of `element` without its content but with its property children
// (a run's w:rPr, a content control's w:sdtPr), placed after it.
pugi::xml_node CloneShell(const WordNames& names, pugi::xml_node element) {
  pugi::xml_node shell = element.parent().insert_child_after(pugi::node_element, element);
  shell.set_name(element.name());
  for (const pugi::xml_attribute& attribute : element.attributes()) {
    const std::string_view name = attribute.name();
    if (name.ends_with("paraId") || name.ends_with("textId")) continue;
    shell.append_attribute(attribute.name()) = attribute.value();
  }
  for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
    if (IsProperties(names.Local(child))) shell.append_copy(child);
  }
  return shell;
}

// Gives a copied revision container (w:ins, w:del, ...) an id of its own:
// one past the largest w:id of its part, so that no two annotations share one.
void GiveFreshId(const WordNames& names, pugi::xml_node shell) {
  pugi::xml_attribute id = names.Attribute(shell, "id");
  if (!id) return;
  int64_t largest = -1;
  for (pugi::xml_node node = shell.root().first_child(); node;) {
    const std::optional<int32_t> other = office::IntegerAttribute(names.Attribute(node, "id"), 0);
    if (other) largest = std::max<int64_t>(largest, *other);
    if (node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node && !node.next_sibling()) node = node.parent();
    if (node) node = node.next_sibling();
  }
  id.set_value(std::to_string(largest + 1).c_str());
}

// Moves `first` and every sibling after it to the end of `target`.
void MoveTail(pugi::xml_node first, pugi::xml_node target) {
  while (first) {
    pugi::xml_node next = first.next_sibling();
    target.append_move(first);
    first = next;
  }
}

void SetText(pugi::xml_node text, const std::wstring& value) {
  text.text().set(ToUtf8(value).c_str());
  const bool edge_blank = !value.empty() && (value.front() == L' ' || value.back() == L' ');
  if (edge_blank && !text.attribute("xml:space")) text.append_attribute("xml:space") = "preserve";
}

// Splits `run` so that `child` (at character `offset` of a w:t) starts the
// content of a run; returns that run (`run` itself when nothing precedes).
pugi::xml_node SplitRun(const WordNames& names, pugi::xml_node run, pugi::xml_node child,
                        int32_t offset) {
  if (offset > 0) {
    const std::wstring text = FromUtf8(child.child_value());
    pugi::xml_node rest = run.insert_child_after(pugi::node_element, child);
    rest.set_name(child.name());
    SetText(rest, text.substr(static_cast<size_t>(offset)));
    SetText(child, text.substr(0, static_cast<size_t>(offset)));
    child = rest;
  }
  bool content_before = false;
  for (pugi::xml_node before = child.previous_sibling(); before && !content_before;
       before = before.previous_sibling()) {
    content_before = !IsProperties(names.Local(before));
  }
  if (!content_before) return run;
  pugi::xml_node tail = CloneShell(names, run);
  MoveTail(child, tail);
  return tail;
}

void StripRevisions(const WordNames& names, pugi::xml_node properties) {
  for (pugi::xml_node child = properties.first_child(); child;) {
    pugi::xml_node next = child.next_sibling();
    const std::string_view local = names.Local(child);
    if (local == "ins" || local == "del" || local == "moveFrom" || local == "moveTo" ||
        local == "rPrChange") {
      properties.remove_child(child);
    }
    child = next;
  }
}

// Puts a section break into a paragraph's properties, where the schema's
// sequence has it: after everything but a w:pPrChange.
void KeepSection(const WordNames& names, pugi::xml_node section, pugi::xml_node paragraph) {
  pugi::xml_node properties = names.Child(paragraph, "pPr");
  if (!properties) properties = paragraph.prepend_child(names.Qualified("pPr").c_str());
  if (pugi::xml_node change = names.Child(properties, "pPrChange")) {
    properties.insert_move_before(section, change);
  } else {
    properties.append_move(section);
  }
}

pugi::xml_node InsertBefore(Point at, pugi::xml_node_type type) {
  return at.next ? at.parent.insert_child_before(type, at.next) : at.parent.append_child(type);
}

}  // namespace

bool IsWritableText(std::wstring_view text) {
  for (const wchar_t c : text) {
    const uint32_t code = static_cast<uint32_t>(c);
    const bool control =
        code < 0x20 && c != L'\t' && c != L'\n' && c != L'\v' && c != L'\f' && c != L'\r';
    if (control || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF ||
        code > 0x10FFFF) {
      return false;
    }
  }
  return true;
}

int32_t WrittenLength(std::wstring_view text) {
  int32_t length = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == L'\n' && i > 0 && text[i - 1] == L'\r')) ++length;
  }
  return length;
}

struct StoryEdit::Plan {
  int32_t start = 0;
  int32_t end = 0;
  int32_t first = 0;  // segment of the start
  int32_t last = 0;   // segment of the content at the end
  pugi::xml_node first_run;
  pugi::xml_node run_before;
  // Marks inside the span with their positions, in document order, and the
  // end marks of stretches collapsed at the place of an insertion.
  std::vector<std::pair<pugi::xml_node, int32_t>> marks;
  std::vector<pugi::xml_node> collapsed_ends;
  // Fields begun inside: whether each is a form field, and its code.
  std::vector<std::pair<bool, std::wstring>> fields;
  // The section break of a paragraph mark the edit removes, which moves to
  // the mark that survives.
  pugi::xml_node section;
};

bool StoryEdit::Check(Plan* plan, std::string* error) const {
  const int32_t length = story_.length();
  const int32_t count = story_.segment_count();
  if (count == 0) {
    *error = "the story cannot hold text there";
    return false;
  }
  // The last mark of the story stays: a paragraph mark, or the end of the
  // last row when the story ends with a table.
  plan->end = std::min(plan->end, length - 1);
  plan->start = std::min(plan->start, plan->end);
  plan->first = story_.SegmentAt(plan->start);
  plan->last = story_.SegmentAt(plan->end);
  const Segment& first = story_.segment(plan->first);
  pugi::xml_node parent = first.node.parent();
  // A paragraph mark before a table or a content control stays as well, as
  // does the end mark of a row's last cell.
  if (story_.segment(plan->last).node.parent() != parent && plan->last > plan->first &&
      plan->end == story_.SegmentStart(plan->last) && !story_.segment(plan->last - 1).row_end) {
    --plan->end;
    --plan->last;
  }
  if (first.row_end || story_.segment(plan->last).row_end) {
    *error = "the range crosses a table boundary";
    return false;
  }
  for (int32_t segment = plan->first; segment <= plan->last; ++segment) {
    const Segment& current = story_.segment(segment);
    const bool mark_inside = segment < plan->last;
    if (current.row_end || (mark_inside && current.cell_end) || current.node.parent() != parent) {
      *error = "the range crosses a table cell or content control boundary";
      return false;
    }
    if (!CheckParagraph(segment, plan, error)) return false;
  }
  // A table without rows takes no position, yet it is structure all the same.
  const WordNames& names = story_.names();
  const auto is_table = [&names](pugi::xml_node node) { return names.Is(node, "tbl"); };
  for (pugi::xml_node node = first.node; node != story_.segment(plan->last).node;
       node = node.next_sibling()) {
    if (!names.Is(node, "p") && (is_table(node) || node.find_node(is_table))) {
      *error = "the range holds a table";
      return false;
    }
  }
  if (!plan->fields.empty()) {
    *error = "the range holds part of a field";
    return false;
  }
  return CheckSections(plan, error);
}

// A section break ends at a paragraph mark: when the edit removes such a
// mark, the surviving one takes the break, unless it ends a section itself or
// ends the story (whose last section the story's own properties describe).
bool StoryEdit::CheckSections(Plan* plan, std::string* error) const {
  const WordNames& names = story_.names();
  const auto section_of = [&](int32_t segment) {
    return names.Child(names.Child(story_.segment(segment).node, "pPr"), "sectPr");
  };
  for (int32_t segment = plan->first; segment < plan->last; ++segment) {
    const pugi::xml_node section = section_of(segment);
    if (!section) continue;
    if (plan->section || section_of(plan->last) || plan->last == story_.segment_count() - 1) {
      *error = "the range holds a section break that cannot be kept";
      return false;
    }
    plan->section = section;
  }
  return true;
}

bool StoryEdit::CheckParagraph(int32_t segment, Plan* plan, std::string* error) const {
  const WordNames& names = story_.names();
  pugi::xml_node paragraph = story_.segment(segment).node;
  const int32_t at = story_.SegmentStart(segment);
  const bool collapsed = plan->start == plan->end;
  if (segment > plan->first) {
    // Marks between the paragraphs, at the start of this one.
    for (pugi::xml_node node = story_.segment(segment - 1).node.next_sibling();
         node && node != paragraph; node = node.next_sibling()) {
      bool opens = false;
      if (MarkFamily(names.Local(node), &opens) != names.Local(node)) {
        plan->marks.emplace_back(node, at);
      }
    }
  }
  std::vector<pugi::xml_node> opened_here;
  InlineCursor cursor(names, paragraph);
  while (cursor.Next()) {
    const int32_t position = at + cursor.position();
    const InlineEvent event = cursor.event();
    pugi::xml_node node = cursor.node();
    if (cursor.width() > 0 && position >= plan->end) break;
    if (cursor.width() > 0 && position < plan->start && names.Is(node.parent(), "r")) {
      plan->run_before = node.parent();
    }
    if (cursor.width() > 0 && position + cursor.width() <= plan->start) continue;
    if (event == InlineEvent::kMark) {
      if (collapsed && position == plan->start) {
        bool opens = false;
        const std::string_view family = MarkFamily(names.Local(node), &opens);
        const std::string_view id = names.Attribute(node, "id").value();
        if (opens) {
          opened_here.push_back(node);
        } else if (std::any_of(opened_here.begin(), opened_here.end(), [&](pugi::xml_node open) {
                     bool ignored = false;
                     return MarkFamily(names.Local(open), &ignored) == family &&
                            id == names.Attribute(open, "id").value();
                   })) {
          plan->collapsed_ends.push_back(node);
        }
      } else if (!collapsed && position > plan->start && position < plan->end) {
        plan->marks.emplace_back(node, position);
      }
      continue;
    }
    if (collapsed || (cursor.width() == 0 && position <= plan->start)) continue;
    if ((event == InlineEvent::kEnter || event == InlineEvent::kLeave) && names.Is(node, "sdt") &&
        position < plan->end) {
      *error = "the range crosses a content control boundary";
      return false;
    }
    if (cursor.width() == 0) {
      if (event == InlineEvent::kPassed && names.Is(node, "instrText") && !plan->fields.empty()) {
        plan->fields.back().second += FromUtf8(node.child_value());
      }
      continue;
    }
    if (!plan->first_run) {
      plan->first_run = names.Is(node.parent(), "r") ? node.parent() : names.Child(node, "r");
    }
    if (event == InlineEvent::kUnit && (cursor.unit() == 0x01 || cursor.unit() == 0x02)) {
      *error = cursor.unit() == 0x01 ? "the range holds a drawing or object"
                                     : "the range holds a note reference";
      return false;
    }
    const std::string_view type =
        event == InlineEvent::kFieldChar ? names.Attribute(node, "fldCharType").value() : "";
    if (type == "begin" || event == InlineEvent::kSimpleBegin) {
      plan->fields.emplace_back(static_cast<bool>(names.Child(node, "ffData")),
                                event == InlineEvent::kSimpleBegin
                                    ? FromUtf8(names.Attribute(node, "instr").value())
                                    : L"");
    } else if (type == "separate" || type == "end" || event == InlineEvent::kSimpleEnd) {
      if (plan->fields.empty()) {
        *error = "the range holds part of a field";
        return false;
      }
      if (type == "separate") continue;
      if (plan->fields.back().first || IsFormFieldCode(plan->fields.back().second)) {
        *error = "the range holds a form field";
        return false;
      }
      plan->fields.pop_back();
    }
  }
  return true;
}

Point StoryEdit::SplitAt(pugi::xml_node paragraph, int32_t offset) {
  const WordNames& names = story_.names();
  InlineCursor cursor(names, paragraph);
  while (cursor.Next()) {
    if (cursor.width() == 0 || cursor.position() + cursor.width() <= offset) continue;
    pugi::xml_node node = cursor.node();
    switch (cursor.event()) {
      case InlineEvent::kSimpleBegin:
        return {node.parent(), node};
      case InlineEvent::kSimpleEnd:
        return {node, {}};
      default:
        break;
    }
    if (!names.Is(node.parent(), "r")) return {node.parent(), node};
    pugi::xml_node run = SplitRun(names, node.parent(), node, offset - cursor.position());
    return {run.parent(), run};
  }
  return {paragraph, {}};
}

Point StoryEdit::SplitAfter(pugi::xml_node paragraph, int32_t offset) {
  if (offset <= 0) return {paragraph, paragraph.first_child()};
  const WordNames& names = story_.names();
  InlineCursor cursor(names, paragraph);
  while (cursor.Next()) {
    if (cursor.width() == 0 || cursor.position() + cursor.width() < offset) continue;
    pugi::xml_node node = cursor.node();
    if (!names.Is(node.parent(), "r")) return {node.parent(), node.next_sibling()};
    pugi::xml_node run = node.parent();
    pugi::xml_node tail;
    if (cursor.position() + cursor.width() > offset) {
      tail = SplitRun(names, run, node, offset - cursor.position());
    } else if (node.next_sibling()) {
      tail = SplitRun(names, run, node.next_sibling(), 0);
    } else {
      return {run.parent(), run.next_sibling()};
    }
    return {tail.parent(), tail};
  }
  return {paragraph, {}};
}

bool StoryEdit::PointAt(int32_t position, Point* point) {
  const int32_t count = story_.segment_count();
  if (count == 0) return false;
  const int32_t segment = story_.SegmentAt(position);
  if (segment >= count) {
    pugi::xml_node last = story_.segment(count - 1).node;
    *point = {last.parent(), last.next_sibling()};
    return true;
  }
  if (story_.segment(segment).row_end) return false;
  *point = SplitAt(story_.segment(segment).node, position - story_.SegmentStart(segment));
  return true;
}

void StoryEdit::CopyRunProperties(const Plan& plan, const EditOptions& options) {
  const WordNames& names = story_.names();
  scratch_.reset();
  pugi::xml_node holder = scratch_.append_child("holder");
  pugi::xml_node source;
  if (plan.first_run) {
    source = names.Child(plan.first_run, "rPr");
  } else if (options.run_properties) {
    source = options.run_properties;
  } else if (plan.run_before) {
    source = names.Child(plan.run_before, "rPr");
  } else {
    source = names.Child(names.Child(story_.segment(plan.first).node, "pPr"), "rPr");
  }
  if (source) StripRevisions(names, holder.append_copy(source));
}

std::vector<pugi::xml_node> StoryEdit::Insert(const Point& at, std::wstring_view text,
                                              bool paragraphs,
                                              std::vector<pugi::xml_node>* breaks) {
  const WordNames& names = story_.names();
  pugi::xml_node properties = scratch_.first_child().first_child();
  std::vector<pugi::xml_node> inserted;
  pugi::xml_node run;
  std::wstring pending;
  const auto flush = [&] {
    if (pending.empty()) return;
    pugi::xml_node element = run.append_child(names.Qualified("t").c_str());
    SetText(element, pending);
    pending.clear();
  };
  const auto current_run = [&] {
    if (!run) {
      run = InsertBefore(at, pugi::node_element);
      run.set_name(names.Qualified("r").c_str());
      if (properties) run.append_copy(properties);
      inserted.push_back(run);
    }
    return run;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\n' && i > 0 && text[i - 1] == L'\r') continue;
    if (c == L'\r' && paragraphs) {
      flush();
      run = {};
      pugi::xml_node marker = InsertBefore(at, pugi::node_pi);
      marker.set_name(kParagraphBreak);
      inserted.push_back(marker);
      breaks->push_back(marker);
      continue;
    }
    if (c != L'\t' && c != L'\v' && c != L'\n' && c != L'\f' && c != L'\r') {
      current_run();
      pending += c;
      continue;
    }
    current_run();
    flush();
    pugi::xml_node element = run.append_child(names.Qualified(c == L'\t' ? "tab" : "br").c_str());
    if (c == L'\f') element.append_attribute(names.Qualified("type").c_str()) = "page";
  }
  if (run) flush();
  return inserted;
}

void StoryEdit::Remove(const Point& from, const Point& to) {
  const WordNames& names = story_.names();
  std::unordered_set<const void*> holds_end;
  for (pugi::xml_node up = to.parent; up && up != story_.root(); up = up.parent()) {
    holds_end.insert(up.internal_object());
  }
  Point at = from;
  while (!(at.parent == to.parent && at.next == to.next)) {
    if (!at.next) {
      if (at.parent == story_.root()) return;
      at = {at.parent.parent(), at.parent.next_sibling()};
      continue;
    }
    pugi::xml_node node = at.next;
    if (holds_end.count(node.internal_object()) > 0) {
      at = {node, node.first_child()};
      continue;
    }
    at.next = node.next_sibling();
    if (!IsProperties(names.Local(node))) at.parent.remove_child(node);
  }
}

void StoryEdit::SplitParagraph(pugi::xml_node marker) {
  const WordNames& names = story_.names();
  while (!names.Is(marker.parent(), "p")) {
    pugi::xml_node container = marker.parent();
    pugi::xml_node tail = CloneShell(names, container);
    GiveFreshId(names, tail);
    MoveTail(marker.next_sibling(), tail);
    container.parent().insert_move_after(marker, container);
  }
  pugi::xml_node paragraph = marker.parent();
  pugi::xml_node tail = CloneShell(names, paragraph);
  // A section break ends the section after the last of the paragraphs.
  pugi::xml_node properties = names.Child(paragraph, "pPr");
  if (pugi::xml_node section = names.Child(properties, "sectPr")) {
    properties.remove_child(section);
    if (!properties.first_child()) paragraph.remove_child(properties);
  }
  MoveTail(marker.next_sibling(), tail);
  paragraph.remove_child(marker);
}

bool StoryEdit::Replace(int32_t start, int32_t end, std::wstring_view text,
                        const EditOptions& options, EditResult* result, std::string* error) {
  Plan plan;
  plan.start = std::clamp(start, 0, story_.length());
  plan.end = std::clamp(end, plan.start, story_.length());
  if (!Check(&plan, error)) return false;
  CopyRunProperties(plan, options);
  pugi::xml_node first_paragraph = story_.segment(plan.first).node;
  pugi::xml_node last_paragraph = story_.segment(plan.last).node;
  if (plan.section) KeepSection(story_.names(), plan.section, last_paragraph);
  const Point from = SplitAt(first_paragraph, plan.start - story_.SegmentStart(plan.first));
  const Point to = plan.start == plan.end
                       ? from
                       : SplitAfter(last_paragraph, plan.end - story_.SegmentStart(plan.last));
  std::vector<pugi::xml_node> breaks;
  std::vector<pugi::xml_node> inserted = Insert(from, text, options.paragraphs, &breaks);
  const bool anchored = inserted.empty();
  if (anchored) inserted.push_back(InsertBefore(from, pugi::node_pcdata));
  pugi::xml_node after = inserted.back();
  for (auto [mark, position] : plan.marks) {
    if (position - plan.start <= plan.end - position) {
      inserted.front().parent().insert_move_before(mark, inserted.front());
    } else {
      after = after.parent().insert_move_after(mark, after);
    }
  }
  for (pugi::xml_node mark : plan.collapsed_ends) {
    after = after.parent().insert_move_after(mark, after);
  }
  if (plan.start < plan.end) Remove({from.parent, from.next}, to);
  if (anchored) inserted.front().parent().remove_child(inserted.front());
  const bool merged = last_paragraph != first_paragraph;
  if (merged) {
    // The mark that survives is the last paragraph's, and with it its
    // properties (the mark's own w:rPr among them).
    const WordNames& names = story_.names();
    if (pugi::xml_node removed = names.Child(first_paragraph, "pPr")) {
      first_paragraph.remove_child(removed);
    }
    for (pugi::xml_node child = last_paragraph.first_child(); child;) {
      pugi::xml_node next = child.next_sibling();
      names.Is(child, "pPr") ? first_paragraph.prepend_move(child)
                             : first_paragraph.append_move(child);
      child = next;
    }
    last_paragraph.parent().remove_child(last_paragraph);
  }
  for (pugi::xml_node marker : breaks) SplitParagraph(marker);
  if (merged || !breaks.empty()) {
    story_.Index();
  } else {
    story_.Remeasure(plan.first);
  }
  *result = {plan.start, plan.end, plan.start + WrittenLength(text)};
  return true;
}

}  // namespace ovc::word
