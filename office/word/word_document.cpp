#include "office/word/word_document.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

#include "automation/text.h"
#include "office/package/xml_names.h"
#include "office/word/bookmark_table.h"
#include "office/word/converted_form_fields.h"
#include "office/word/field_scan.h"
#include "office/word/inline_cursor.h"
#include "office/word/story.h"
#include "office/word/story_edit.h"
#include "office/word/word_names.h"

namespace ovc::word {
namespace {

constexpr std::string_view kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

bool IsSeparatorNote(const WordNames& names, pugi::xml_node note) {
  const std::string_view type = names.Attribute(note, "type").value();
  return type == "separator" || type == "continuationSeparator" || type == "continuationNotice";
}

bool ValidBookmarkName(std::wstring_view name) {
  if (name.empty() || name.size() > 40 || !IsLetter(name.front())) return false;
  return std::all_of(name.begin(), name.end(),
                     [](wchar_t c) { return IsLetter(c) || IsAsciiDigit(c) || c == L'_'; });
}

// The children of `node` pushed so that they come off the stack in order.
void PushChildren(pugi::xml_node node, std::vector<pugi::xml_node>* stack) {
  for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) {
    if (child.type() == pugi::node_element) stack->push_back(child);
  }
}

// Mends in the main part what LibreOffice's conversion of a .doc file broke;
// a repaired part is written by the next save.
void RepairConversion(office::Package* package) {
  std::string ignored;
  const std::string& main = package->MainDocumentPartName();
  pugi::xml_document* xml = package->XmlPart(main, &ignored);
  if (xml != nullptr && RepairConvertedFormFields(xml)) package->MarkChanged(main);
}

}  // namespace

class WordDocument::Impl {
 public:
  explicit Impl(office::Package* package, std::function<void(std::string_view)> trace)
      : package_(*package), trace_(std::move(trace)) {}

  bool Load(std::string* error, HRESULT* code);

  Story* StoryAt(StoryIndex index) const {
    return index >= 0 && index < static_cast<StoryIndex>(stories_.size()) ? stories_[index].get()
                                                                          : nullptr;
  }
  int32_t story_count() const { return static_cast<int32_t>(stories_.size()); }
  StoryIndex StoryOf(pugi::xml_node node) const;
  BookmarkTable& bookmarks() { return bookmarks_; }
  pugi::xml_document* scratch() { return &scratch_; }
  int32_t NewBookmarkId();
  void set_listener(std::function<void()> listener) { listener_ = std::move(listener); }

  bool Resolve(const BookmarkMarks* marks, BookmarkInfo* info) const;
  std::shared_ptr<LiveSpan> Track(const TextSpan& span);
  // Records a change of a story: live spans follow [start, old_end) ->
  // [start, new_end), the text box's fallback copy is made again, the part
  // is written by the next save and the listener hears of it.
  void Changed(StoryIndex story, const EditResult& edit);

 private:
  const WordNames* NamesOf(const std::string& part, const pugi::xml_document& xml);
  bool AddPartStories(const std::string& part, StoryKind kind, std::string* error);
  bool AddNotes(const std::string& part, StoryKind kind, std::string* error);
  void AddStory(StoryKind kind, const std::string& part, const WordNames* names,
                pugi::xml_node root, pugi::xml_node fallback);
  void AddTextBoxes(const std::string& part, const WordNames* names, pugi::xml_node root);
  void IndexBookmarks();
  void RewriteFallback(const Story& story);

  office::Package& package_;
  std::function<void(std::string_view)> trace_;
  std::map<std::string, std::unique_ptr<WordNames>> names_;
  std::vector<std::unique_ptr<Story>> stories_;
  std::unordered_map<const void*, StoryIndex> roots_;
  BookmarkTable bookmarks_;
  // The w:ids of the bookmark marks, those that are integers from 0 up.
  std::set<int32_t> bookmark_ids_;
  std::vector<std::weak_ptr<LiveSpan>> live_;
  std::function<void()> listener_;
  pugi::xml_document scratch_;
};

const WordNames* WordDocument::Impl::NamesOf(const std::string& part,
                                             const pugi::xml_document& xml) {
  std::unique_ptr<WordNames>& names = names_[part];
  if (!names) names = std::make_unique<WordNames>(xml);
  return names.get();
}

void WordDocument::Impl::AddStory(StoryKind kind, const std::string& part, const WordNames* names,
                                  pugi::xml_node root, pugi::xml_node fallback) {
  roots_[root.internal_object()] = static_cast<StoryIndex>(stories_.size());
  stories_.push_back(std::make_unique<Story>(kind, part, names, root, fallback));
  stories_.back()->Index();
}

bool WordDocument::Impl::AddPartStories(const std::string& part, StoryKind kind,
                                        std::string* error) {
  pugi::xml_document* xml = package_.XmlPart(part, error);
  if (xml == nullptr) return false;
  AddStory(kind, part, NamesOf(part, *xml), xml->document_element(), {});
  return true;
}

bool WordDocument::Impl::AddNotes(const std::string& part, StoryKind kind, std::string* error) {
  pugi::xml_document* xml = package_.XmlPart(part, error);
  if (xml == nullptr) return false;
  const WordNames* names = NamesOf(part, *xml);
  for (pugi::xml_node note = xml->document_element().first_child(); note;
       note = note.next_sibling()) {
    const std::string_view local = names->Local(note);
    if ((local == "footnote" || local == "endnote") && !IsSeparatorNote(*names, note)) {
      AddStory(kind, part, names, note, {});
    }
  }
  return true;
}

// Every text box of a part, in document order; a box kept in two forms is
// read from its choice, its fallback copy remembered.
void WordDocument::Impl::AddTextBoxes(const std::string& part, const WordNames* names,
                                      pugi::xml_node root) {
  std::vector<pugi::xml_node> stack;
  PushChildren(root, &stack);
  while (!stack.empty()) {
    pugi::xml_node node = stack.back();
    stack.pop_back();
    if (IsMarkup(node, "Fallback")) continue;
    if (names->Is(node, "txbxContent")) {
      pugi::xml_node fallback;
      pugi::xml_node choice = node.parent();
      while (choice && !IsMarkup(choice, "Choice")) choice = choice.parent();
      if (choice) {
        for (pugi::xml_node sibling = choice.next_sibling(); sibling && !fallback;
             sibling = sibling.next_sibling()) {
          if (!IsMarkup(sibling, "Fallback")) continue;
          fallback = sibling.find_node(
              [names](pugi::xml_node candidate) { return names->Is(candidate, "txbxContent"); });
        }
      }
      AddStory(StoryKind::kTextBox, part, names, node, fallback);
    }
    PushChildren(node, &stack);
  }
}

bool WordDocument::Impl::Load(std::string* error, HRESULT* code) {
  *code = STG_E_DOCFILECORRUPT;
  const std::string& main = package_.MainDocumentPartName();
  pugi::xml_document* xml = package_.XmlPart(main, error);
  if (xml == nullptr) return false;
  const WordNames* names = NamesOf(main, *xml);
  pugi::xml_node body = names->Child(xml->document_element(), "body");
  if (!names->Is(xml->document_element(), "document") || !body) {
    *error = package_.file_name() + ": " + main + ": no document body";
    return false;
  }
  AddStory(StoryKind::kBody, main, names, body, {});
  std::vector<office::Relationship> relationships;
  if (!package_.Relationships(main, &relationships, error)) return false;
  for (const office::Relationship& relationship : relationships) {
    if (relationship.external || relationship.part.empty()) continue;
    const std::string_view kind =
        std::string_view(relationship.type)
            .substr(relationship.type.starts_with(kRelationships) ? kRelationships.size() : 0);
    if (kind == "header" && !AddPartStories(relationship.part, StoryKind::kHeader, error)) {
      return false;
    }
    if (kind == "footer" && !AddPartStories(relationship.part, StoryKind::kFooter, error)) {
      return false;
    }
  }
  for (const auto& [kind, story] :
       {std::pair{"footnotes", StoryKind::kFootnote}, std::pair{"endnotes", StoryKind::kEndnote}}) {
    std::vector<std::string> parts;
    if (!package_.RelatedParts(main, std::string(kRelationships) + kind, &parts, error)) {
      return false;
    }
    if (!parts.empty() && !AddNotes(parts.front(), story, error)) return false;
  }
  const size_t base_stories = stories_.size();
  std::vector<std::pair<std::string, pugi::xml_node>> parts;
  for (size_t i = 0; i < base_stories; ++i) {
    const Story& story = *stories_[i];
    if (parts.empty() || parts.back().first != story.part() || story.kind() == StoryKind::kBody) {
      pugi::xml_node top = story.root();
      while (story.kind() != StoryKind::kBody && top.parent().type() == pugi::node_element) {
        top = top.parent();
      }
      parts.emplace_back(story.part(), top);
    }
  }
  for (const auto& [part, root] : parts) AddTextBoxes(part, names_[part].get(), root);
  IndexBookmarks();
  return true;
}

// Pairs the bookmark marks of every story by id, in story order, and finds
// the highest id in use (fallback copies included).
void WordDocument::Impl::IndexBookmarks() {
  for (StoryIndex index = 0; index < story_count(); ++index) {
    const Story& story = *stories_[index];
    const WordNames& names = story.names();
    std::vector<pugi::xml_node> starts;
    std::unordered_map<std::string, pugi::xml_node> ends;
    std::vector<std::pair<pugi::xml_node, bool>> stack;  // node, inside a fallback copy
    for (pugi::xml_node child = story.root().last_child(); child;
         child = child.previous_sibling()) {
      if (child.type() == pugi::node_element) stack.emplace_back(child, false);
    }
    while (!stack.empty()) {
      const auto [node, fallback] = stack.back();
      stack.pop_back();
      const std::string_view local = names.Local(node);
      if (local == "txbxContent" && !fallback) continue;
      if (local == "bookmarkStart" || local == "bookmarkEnd") {
        const pugi::xml_attribute id = names.Attribute(node, "id");
        if (const std::optional<int32_t> number = office::IntegerAttribute(id, 0)) {
          bookmark_ids_.insert(*number);
        }
        if (fallback) continue;
        if (local == "bookmarkStart") {
          starts.push_back(node);
        } else {
          ends.emplace(id.value(), node);
        }
        continue;
      }
      const bool in_fallback = fallback || IsMarkup(node, "Fallback");
      for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) {
        if (child.type() == pugi::node_element) stack.emplace_back(child, in_fallback);
      }
    }
    for (pugi::xml_node start : starts) {
      const auto end = ends.find(names.Attribute(start, "id").value());
      if (end == ends.end()) continue;
      BookmarkMarks marks{FromUtf8(names.Attribute(start, "name").value()), index, start,
                          end->second};
      const std::string name = names.Attribute(start, "name").value();
      if (!bookmarks_.Add(std::move(marks)) && trace_) {
        trace_(package_.file_name() + ": bookmark '" + name +
               "' occurs more than once; the first is used");
      }
    }
  }
}

// One past the largest id in use; the smallest unused one once the largest
// is the largest an id can be.
int32_t WordDocument::Impl::NewBookmarkId() {
  int32_t id = 0;
  if (!bookmark_ids_.empty() && *bookmark_ids_.rbegin() < std::numeric_limits<int32_t>::max()) {
    id = *bookmark_ids_.rbegin() + 1;
  } else {
    for (const int32_t used : bookmark_ids_) {
      if (used != id) break;
      ++id;
    }
  }
  bookmark_ids_.insert(id);
  return id;
}

StoryIndex WordDocument::Impl::StoryOf(pugi::xml_node node) const {
  for (; node; node = node.parent()) {
    const auto found = roots_.find(node.internal_object());
    if (found != roots_.end()) return found->second;
    if (IsMarkup(node, "Fallback")) return -1;
  }
  return -1;
}

bool WordDocument::Impl::Resolve(const BookmarkMarks* marks, BookmarkInfo* info) const {
  if (marks == nullptr) return false;
  const Story& story = *stories_[marks->story];
  const WordNames& names = story.names();
  const int32_t start = story.PositionBefore(marks->start);
  const int32_t end = story.PositionBefore(marks->end);
  info->name = marks->name;
  info->span = {marks->story, std::min(start, end), std::max(start, end)};
  const pugi::xml_attribute first = names.Attribute(marks->start, "colFirst");
  const pugi::xml_attribute last = names.Attribute(marks->start, "colLast");
  const std::optional<int32_t> first_column = office::IntegerAttribute(first, 0);
  const std::optional<int32_t> last_column = office::IntegerAttribute(last, 0);
  info->first_column = first_column && last_column ? *first_column : -1;
  info->last_column = first_column && last_column ? *last_column : -1;
  info->start = marks->start;
  info->end = marks->end;
  return true;
}

std::shared_ptr<LiveSpan> WordDocument::Impl::Track(const TextSpan& span) {
  auto live = std::make_shared<LiveSpan>();
  live->span = span;
  live_.push_back(live);
  return live;
}

void WordDocument::Impl::Changed(StoryIndex story, const EditResult& edit) {
  const int32_t delta = edit.new_end - edit.old_end;
  const auto move_start = [&](int32_t at) {
    if (at < edit.start) return at;
    if (at == edit.start) return edit.start == edit.old_end ? edit.new_end : at;
    return at >= edit.old_end ? at + delta : edit.new_end;
  };
  const auto move_end = [&](int32_t at) {
    if (at <= edit.start) return at;
    return at >= edit.old_end ? at + delta : edit.start;
  };
  std::erase_if(live_, [](const std::weak_ptr<LiveSpan>& live) { return live.expired(); });
  for (const std::weak_ptr<LiveSpan>& weak : live_) {
    const std::shared_ptr<LiveSpan> live = weak.lock();
    if (live->span.story != story) continue;
    live->span.start = move_start(live->span.start);
    live->span.end = std::max(move_end(live->span.end), live->span.start);
  }
  const Story& changed = *stories_[story];
  if (changed.fallback()) RewriteFallback(changed);
  package_.MarkChanged(changed.part());
  if (listener_) listener_();
}

// The fallback copy of a text box becomes the box's content again, without
// bookmarks, so that bookmark ids stay unique.
void WordDocument::Impl::RewriteFallback(const Story& story) {
  pugi::xml_node fallback = story.fallback();
  while (fallback.first_child()) fallback.remove_child(fallback.first_child());
  for (pugi::xml_node child = story.root().first_child(); child; child = child.next_sibling()) {
    fallback.append_copy(child);
  }
  const WordNames& names = story.names();
  std::vector<pugi::xml_node> stack;
  PushChildren(fallback, &stack);
  std::vector<pugi::xml_node> marks;
  while (!stack.empty()) {
    pugi::xml_node node = stack.back();
    stack.pop_back();
    if (names.Is(node, "bookmarkStart") || names.Is(node, "bookmarkEnd")) {
      marks.push_back(node);
    } else {
      PushChildren(node, &stack);
    }
  }
  for (pugi::xml_node mark : marks) mark.parent().remove_child(mark);
}

WordDocument::WordDocument(std::unique_ptr<office::Package> package, std::unique_ptr<Impl> impl)
    : package_(std::move(package)), impl_(std::move(impl)) {}

WordDocument::~WordDocument() = default;

std::unique_ptr<WordDocument> WordDocument::Open(const std::string& path,
                                                 const office::OpenOptions& options,
                                                 std::string* error, HRESULT* code) {
  office::OpenOptions word_options = options;
  word_options.kind = office::DocumentKind::kWordProcessing;
  std::unique_ptr<office::Package> package = office::Package::Open(path, word_options, error, code);
  if (!package) return nullptr;
  if (package->is_converted()) RepairConversion(package.get());
  auto impl = std::make_unique<Impl>(package.get(), options.trace);
  if (!impl->Load(error, code)) return nullptr;
  return std::unique_ptr<WordDocument>(new WordDocument(std::move(package), std::move(impl)));
}

void WordDocument::set_change_listener(std::function<void()> listener) {
  impl_->set_listener(std::move(listener));
}

int32_t WordDocument::story_count() const { return impl_->story_count(); }

StoryKind WordDocument::story_kind(StoryIndex story) const {
  const Story* found = impl_->StoryAt(story);
  return found == nullptr ? StoryKind::kBody : found->kind();
}

pugi::xml_node WordDocument::story_root(StoryIndex story) const {
  const Story* found = impl_->StoryAt(story);
  return found == nullptr ? pugi::xml_node() : found->root();
}

int32_t WordDocument::story_length(StoryIndex story) const {
  const Story* found = impl_->StoryAt(story);
  return found == nullptr ? 0 : found->length();
}

std::wstring WordDocument::Text(const TextSpan& span) const {
  const Story* story = impl_->StoryAt(span.story);
  return story == nullptr ? std::wstring() : story->Text(span.start, span.end);
}

HRESULT WordDocument::SetText(TextSpan* span, std::wstring_view text, std::string* error) {
  Story* story = impl_->StoryAt(span->story);
  if (story == nullptr || !IsWritableText(text)) {
    *error = story == nullptr ? "the range is in no story of the document"
                              : "the text holds a character a document cannot hold";
    return E_INVALIDARG;
  }
  EditResult edit;
  StoryEdit editor(story, impl_->scratch());
  if (!editor.Replace(span->start, span->end, text, EditOptions(), &edit, error)) {
    return E_ACCESSDENIED;
  }
  impl_->Changed(span->story, edit);
  *span = {span->story, edit.start, edit.new_end};
  return S_OK;
}

std::shared_ptr<LiveSpan> WordDocument::Track(const TextSpan& span) { return impl_->Track(span); }

bool WordDocument::Contains(pugi::xml_node element, LiveSpan* near) const {
  const Story* story = impl_->StoryAt(near->span.story);
  if (story == nullptr || story->segment_count() == 0) return false;
  // The element holds the content at its span's start, unless it holds none
  // (a table without rows): then the whole story is searched.
  bool found = false;
  const int32_t segment = std::min(story->SegmentAt(near->span.start), story->segment_count() - 1);
  for (pugi::xml_node node = story->segment(segment).node; node && !found; node = node.parent()) {
    found = node == element;
  }
  found =
      found || story->root().find_node([element](pugi::xml_node node) { return node == element; });
  if (found) near->span = SpanOf(element);
  return found;
}

TextSpan WordDocument::SpanOf(pugi::xml_node node) const {
  const StoryIndex index = impl_->StoryOf(node);
  if (index < 0) return {-1, 0, 0};
  const Story& story = *impl_->StoryAt(index);
  const int32_t start = story.PositionBefore(node);
  if (story.names().Is(node, "fldChar")) {
    for (const FieldInfo& field : ScanFields(story, index, start, start + 1)) {
      if (field.begin == node) return field.span;
    }
  }
  return {index, start, std::max(start, story.PositionAfter(node))};
}

pugi::xml_node WordDocument::InnermostAt(StoryIndex index, int32_t position,
                                         std::string_view local_name) const {
  const Story* story = impl_->StoryAt(index);
  if (story == nullptr || position < 0 || position >= story->length()) return {};
  const int32_t segment = story->SegmentAt(position);
  pugi::xml_node node = story->segment(segment).node;
  if (!story->segment(segment).row_end) {
    InlineCursor cursor(story->names(), node);
    const int32_t offset = position - story->SegmentStart(segment);
    while (cursor.Next()) {
      if (cursor.width() > 0 && offset < cursor.position() + cursor.width()) {
        node = cursor.node();
        break;
      }
    }
  }
  for (; node && node != story->root().parent(); node = node.parent()) {
    if (story->names().Local(node) == local_name) return node;
  }
  return {};
}

const WordNames* WordDocument::NamesOf(pugi::xml_node node) const {
  const Story* story = impl_->StoryAt(impl_->StoryOf(node));
  return story == nullptr ? nullptr : &story->names();
}

int32_t WordDocument::visible_bookmark_count() const { return impl_->bookmarks().visible_count(); }

bool WordDocument::VisibleBookmark(int32_t index, BookmarkInfo* bookmark) const {
  return impl_->Resolve(impl_->bookmarks().Visible(index), bookmark);
}

bool WordDocument::FindBookmark(std::wstring_view name, BookmarkInfo* bookmark) const {
  return impl_->Resolve(impl_->bookmarks().Find(name), bookmark);
}

// The rows and columns of one table a span starting and ending in two of
// its cells covers; first_column -1 when it does not.
WordDocument::CellBlock WordDocument::CellBlockOf(const Story& story, StoryIndex index,
                                                  int32_t start, int32_t end) const {
  CellBlock block;
  if (end <= start) return block;
  const pugi::xml_node first = InnermostAt(index, start, "tc");
  const pugi::xml_node last = InnermostAt(index, end - 1, "tc");
  if (!first || !last || first == last || first.parent().parent() != last.parent().parent()) {
    return block;
  }
  const auto column = [&story](pugi::xml_node cell) {
    int32_t before = 0;
    for (pugi::xml_node sibling = cell.previous_sibling(); sibling;
         sibling = sibling.previous_sibling()) {
      before += story.names().Is(sibling, "tc") ? 1 : 0;
    }
    return before;
  };
  block.first_row = first.parent();
  block.last_row = last.parent();
  block.last_cell = block.last_row.last_child();
  while (block.last_cell && !story.names().Is(block.last_cell, "tc")) {
    block.last_cell = block.last_cell.previous_sibling();
  }
  block.first_column = std::min(column(first), column(last));
  block.last_column = std::max(column(first), column(last));
  return block;
}

HRESULT WordDocument::AddBookmark(std::wstring_view name, const TextSpan& span,
                                  std::string* error) {
  if (!ValidBookmarkName(name)) {
    *error = "'" + ToUtf8(name) + "' is not a valid bookmark name";
    return E_INVALIDARG;
  }
  Story* story = impl_->StoryAt(span.story);
  if (story == nullptr) {
    *error = "the range is in no story of the document";
    return E_INVALIDARG;
  }
  StoryEdit editor(story, impl_->scratch());
  const int32_t start = std::clamp(span.start, 0, story->length());
  const int32_t end = std::clamp(span.end, start, story->length());
  Point from;
  Point to;
  const CellBlock block = CellBlockOf(*story, span.story, start, end);
  if (block.first_column >= 0) {
    from = {block.first_row, story->names().Child(block.first_row, "tc")};
    to = {block.last_row, block.last_cell.next_sibling()};
  } else if (!editor.PointAt(start, &from) || !editor.PointAt(end, &to)) {
    *error = "a bookmark cannot start or end at the end of a table row";
    return E_ACCESSDENIED;
  }
  if (start == end) to = from;
  if (const BookmarkMarks* old = impl_->bookmarks().Find(name)) {
    // The old marks go; a place next to one of them moves past it.
    for (pugi::xml_node mark : {old->start, old->end}) {
      for (Point* point : {&from, &to}) {
        if (point->next == mark) point->next = mark.next_sibling();
      }
    }
    DeleteBookmark(name);
  }
  const WordNames& names = story->names();
  const std::string id = std::to_string(impl_->NewBookmarkId());
  const auto place = [&](Point at, const char* local) {
    pugi::xml_node mark =
        at.next ? at.parent.insert_child_before(names.Qualified(local).c_str(), at.next)
                : at.parent.append_child(names.Qualified(local).c_str());
    mark.append_attribute(names.Qualified("id").c_str()) = id.c_str();
    return mark;
  };
  pugi::xml_node start_mark = place(from, "bookmarkStart");
  start_mark.append_attribute(names.Qualified("name").c_str()) = ToUtf8(name).c_str();
  if (block.first_column >= 0) {
    start_mark.append_attribute(names.Qualified("colFirst").c_str()) = block.first_column;
    start_mark.append_attribute(names.Qualified("colLast").c_str()) = block.last_column;
  }
  pugi::xml_node end_mark = place(to, "bookmarkEnd");
  impl_->bookmarks().Put({std::wstring(name), span.story, start_mark, end_mark});
  impl_->Changed(span.story, {start, start, start});
  return S_OK;
}

bool WordDocument::DeleteBookmark(std::wstring_view name) {
  const BookmarkMarks* marks = impl_->bookmarks().Find(name);
  if (marks == nullptr) return false;
  const StoryIndex story = marks->story;
  for (pugi::xml_node mark : {marks->start, marks->end}) mark.parent().remove_child(mark);
  impl_->bookmarks().Remove(name);
  impl_->Changed(story, {0, 0, 0});
  return true;
}

std::vector<FieldInfo> WordDocument::FieldsIn(const TextSpan& span) const {
  const Story* story = impl_->StoryAt(span.story);
  if (story == nullptr) return {};
  return ScanFields(*story, span.story, span.start, std::max(span.end, span.start));
}

HRESULT WordDocument::SetFieldResult(const FieldInfo& field, std::wstring_view text,
                                     std::string* error) {
  if (!IsWritableText(text)) {
    *error = "the text holds a character a document cannot hold";
    return E_INVALIDARG;
  }
  Story* story = impl_->StoryAt(impl_->StoryOf(field.begin));
  if (story == nullptr || field.story != impl_->StoryOf(field.begin)) {
    *error = "the field is no longer in the document";
    return E_ACCESSDENIED;
  }
  const auto current = [&]() -> std::optional<FieldInfo> {
    const int32_t at = story->PositionBefore(field.begin);
    for (const FieldInfo& found : ScanFields(*story, field.story, at, at + 1)) {
      if (found.begin == field.begin) return found;
    }
    return std::nullopt;
  };
  std::optional<FieldInfo> fresh = current();
  if (!fresh) {
    *error = "the field is no longer in the document";
    return E_ACCESSDENIED;
  }
  const WordNames& names = story->names();
  const bool simple = names.Is(fresh->begin, "fldSimple");
  pugi::xml_node begin_properties =
      simple ? pugi::xml_node() : names.Child(fresh->begin.parent(), "rPr");
  StoryEdit editor(story, impl_->scratch());
  if (!simple && !fresh->separate) {
    Point at;
    editor.PointAt(fresh->result.start, &at);
    pugi::xml_node run = at.next
                             ? at.parent.insert_child_before(names.Qualified("r").c_str(), at.next)
                             : at.parent.append_child(names.Qualified("r").c_str());
    if (begin_properties) run.append_copy(begin_properties);
    run.append_child(names.Qualified("fldChar").c_str())
        .append_attribute(names.Qualified("fldCharType").c_str()) = "separate";
    story->Remeasure(story->SegmentOf(story->ParagraphOf(run)));
    impl_->Changed(field.story,
                   {fresh->result.start, fresh->result.start, fresh->result.start + 1});
    fresh = current();
  }
  EditOptions options;
  options.paragraphs = false;
  options.run_properties = begin_properties;
  EditResult edit;
  if (!fresh ||
      !editor.Replace(fresh->result.start, fresh->result.end, text, options, &edit, error)) {
    return E_ACCESSDENIED;
  }
  impl_->Changed(field.story, edit);
  return S_OK;
}

int32_t WordDocument::UpdateFields(const TextSpan& span) {
  const std::vector<FieldInfo> fields = FieldsIn(span);
  int32_t failed = 0;
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldInfo& field = fields[i];
    if (FieldKeyword(field.code) != L"REF") continue;
    const std::wstring_view argument = TrimSpacesAndTabs(std::wstring_view(field.code).substr(3));
    const std::wstring name(argument.substr(0, argument.find_first_of(L" \t")));
    BookmarkInfo bookmark;
    std::string ignored;
    bool updated = FindBookmark(name, &bookmark);
    if (updated) {
      std::wstring text = Text(bookmark.span);
      if (text.ends_with(L"\r\a")) {
        text.resize(text.size() - 2);
      } else if (text.ends_with(L"\r")) {
        text.pop_back();
      }
      updated = Succeeded(SetFieldResult(field, text, &ignored));
    }
    if (!updated && failed == 0) failed = static_cast<int32_t>(i) + 1;
  }
  return failed;
}

void WordDocument::NoteReplaced(StoryIndex story, int32_t start, int32_t old_end, int32_t new_end) {
  Story* found = impl_->StoryAt(story);
  if (found == nullptr) return;
  found->Index();
  impl_->Changed(story, {start, old_end, new_end});
}

}  // namespace ovc::word
