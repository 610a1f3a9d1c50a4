#include "office/word/story.h"

#include <algorithm>
#include <utility>

#include "automation/text.h"
#include "office/word/inline_cursor.h"

namespace ovc::word {
namespace {

// One step of a walk in document order without recursion: into the node's
// first child, else to its next sibling, else up to its parent, which is
// then being left.
void Step(bool descend, pugi::xml_node* node, bool* leaving) {
  if (descend) {
    *node = node->first_child();
    *leaving = false;
  } else if (node->next_sibling()) {
    *node = node->next_sibling();
    *leaving = false;
  } else {
    *node = node->parent();
    *leaving = true;
  }
}

}  // namespace

Story::Story(StoryKind kind, std::string part, const WordNames* names, pugi::xml_node root,
             pugi::xml_node fallback)
    : kind_(kind), part_(std::move(part)), names_(names), root_(root), fallback_(fallback) {}

bool Story::IsBlockContainer(pugi::xml_node node) const {
  const std::string_view local = names_->Local(node);
  return local == "tbl" || local == "tr" || local == "tc" || local == "sdt" ||
         local == "sdtContent" || local == "customXml" || local == "ins" || local == "moveTo";
}

void Story::Index() {
  segments_.clear();
  index_.clear();
  std::vector<int32_t> lengths;
  pugi::xml_node node = root_.first_child();
  bool leaving = false;
  while (node && node != root_) {
    const std::string_view local = names_->Local(node);
    bool descend = false;
    if (leaving) {
      if (local == "tr") {
        index_[node.internal_object()] = static_cast<int32_t>(segments_.size());
        segments_.push_back({node, true, false});
        lengths.push_back(1);
      } else if (local == "tc" && !segments_.empty() && !segments_.back().row_end) {
        segments_.back().cell_end = true;
      }
    } else if (local == "p") {
      index_[node.internal_object()] = static_cast<int32_t>(segments_.size());
      segments_.push_back({node, false, false});
      lengths.push_back(ContentWidth(*names_, node) + 1);
    } else {
      descend = IsBlockContainer(node) && node.first_child();
    }
    Step(descend, &node, &leaving);
  }
  tree_.Reset(lengths);
}

void Story::Remeasure(int32_t segment) {
  if (segments_[segment].row_end) return;
  tree_.SetLength(segment, ContentWidth(*names_, segments_[segment].node) + 1);
}

int32_t Story::SegmentOf(pugi::xml_node node) const {
  const auto found = index_.find(node.internal_object());
  return found == index_.end() ? -1 : found->second;
}

pugi::xml_node Story::ParagraphOf(pugi::xml_node node) const {
  for (; node && node != root_; node = node.parent()) {
    if (names_->Is(node, "p")) return node;
  }
  return {};
}

int32_t Story::InParagraph(pugi::xml_node paragraph, pugi::xml_node node, bool after) const {
  const int32_t start = SegmentStart(SegmentOf(paragraph));
  if (node == paragraph) return after ? start + tree_.length(SegmentOf(paragraph)) : start;
  // The node, or the outermost element holding it that the cursor passes over.
  std::vector<pugi::xml_node> chain;
  for (pugi::xml_node up = node; up != paragraph; up = up.parent()) chain.push_back(up);
  InlineCursor cursor(*names_, paragraph);
  pugi::xml_node found;
  while (cursor.Next()) {
    if (found) {
      const bool leaves =
          cursor.event() == InlineEvent::kLeave || cursor.event() == InlineEvent::kSimpleEnd;
      if (leaves && cursor.node() == found) return start + cursor.position() + cursor.width();
      continue;
    }
    // An element passed over stands for everything inside it.
    const bool passed = cursor.event() == InlineEvent::kPassed &&
                        std::find(chain.begin(), chain.end(), cursor.node()) != chain.end();
    if (cursor.node() != node && !passed) continue;
    const InlineEvent event = cursor.event();
    if (!after || cursor.node() != node) return start + cursor.position();
    if (event != InlineEvent::kEnter && event != InlineEvent::kSimpleBegin) {
      return start + cursor.position() + cursor.width();
    }
    found = node;
  }
  return start + cursor.position();
}

int32_t Story::NextBoundary(pugi::xml_node node, bool include) const {
  bool leaving = !include;
  while (node && node != root_) {
    const std::string_view local = names_->Local(node);
    if (leaving && local == "tr") {
      const int32_t segment = SegmentOf(node);
      if (segment >= 0) return SegmentStart(segment);
    }
    if (!leaving && local == "p") {
      const int32_t segment = SegmentOf(node);
      if (segment >= 0) return SegmentStart(segment);
    }
    Step(!leaving && IsBlockContainer(node) && node.first_child(), &node, &leaving);
  }
  return length();
}

int32_t Story::PositionBefore(pugi::xml_node node) const {
  const pugi::xml_node paragraph = ParagraphOf(node);
  return paragraph ? InParagraph(paragraph, node, false) : NextBoundary(node, true);
}

int32_t Story::PositionAfter(pugi::xml_node node) const {
  const pugi::xml_node paragraph = ParagraphOf(node);
  if (paragraph) return InParagraph(paragraph, node, true);
  const int32_t row = names_->Is(node, "tr") ? SegmentOf(node) : -1;
  return row >= 0 ? SegmentStart(row) + 1 : NextBoundary(node, false);
}

std::wstring Story::Text(int32_t start, int32_t end) const {
  std::wstring text;
  start = std::max(start, 0);
  end = std::min(end, length());
  for (int32_t segment = SegmentAt(start),
               at = segment < segment_count() ? SegmentStart(segment) : 0;
       segment < segment_count() && at < end; at += tree_.length(segment), ++segment) {
    const Segment& current = segments_[segment];
    const int32_t mark = at + tree_.length(segment) - 1;
    if (!current.row_end) {
      InlineCursor cursor(*names_, current.node);
      while (cursor.Next() && at + cursor.position() < end) {
        const int32_t from = at + cursor.position();
        if (from + cursor.width() <= start) continue;
        if (cursor.event() == InlineEvent::kUnit) {
          text += cursor.unit();
        } else if (cursor.event() == InlineEvent::kText) {
          const std::wstring characters = FromUtf8(cursor.node().child_value());
          const size_t skip = static_cast<size_t>(std::max(start - from, 0));
          text.append(characters, skip, static_cast<size_t>(end - from) - skip);
        }
      }
    }
    if (mark >= start && mark < end) text += current.row_end || current.cell_end ? L"\r\a" : L"\r";
  }
  return text;
}

}  // namespace ovc::word
