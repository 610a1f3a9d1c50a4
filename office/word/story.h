#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "office/word/position_tree.h"
#include "office/word/word_document.h"
#include "office/word/word_names.h"

namespace ovc::word {

// One thing of a story that ends with a mark: a paragraph (its mark reads
// "\r", or "\r\a" when it is the last of a table cell) or the end of a
// table row ("\r\a").
struct Segment {
  pugi::xml_node node;  // the w:p, or the w:tr whose end it is
  bool row_end = false;
  bool cell_end = false;
};

// One story over its XML: the segments in document order with their
// lengths in a position tree, so that positions and nodes map to each other
// without counting the whole story.
class Story {
 public:
  // `fallback` is the w:txbxContent of a text box's fallback copy, or empty.
  Story(StoryKind kind, std::string part, const WordNames* names, pugi::xml_node root,
        pugi::xml_node fallback);

  StoryKind kind() const { return kind_; }
  const std::string& part() const { return part_; }
  const WordNames& names() const { return *names_; }
  pugi::xml_node root() const { return root_; }
  pugi::xml_node fallback() const { return fallback_; }

  // Counts every segment again (after a change of structure).
  void Index();
  // Counts one paragraph again (after a change inside it).
  void Remeasure(int32_t segment);

  int32_t length() const { return tree_.total(); }
  int32_t segment_count() const { return tree_.size(); }
  const Segment& segment(int32_t index) const { return segments_[index]; }
  int32_t SegmentStart(int32_t index) const { return tree_.StartOf(index); }
  // The segment holding `position`; segment_count() at or past the end.
  int32_t SegmentAt(int32_t position) const { return tree_.Find(position); }
  // The segment of a w:p or w:tr of this story; -1 for any other node.
  int32_t SegmentOf(pugi::xml_node node) const;
  // The w:p of the story holding `node` (or `node` itself); empty if none.
  pugi::xml_node ParagraphOf(pugi::xml_node node) const;

  // The position just before `node` and just after everything it holds.
  int32_t PositionBefore(pugi::xml_node node) const;
  int32_t PositionAfter(pugi::xml_node node) const;

  // The text between two positions (clipped to the story).
  std::wstring Text(int32_t start, int32_t end) const;

 private:
  // The first segment boundary at or after `node` in document order
  // (`include` false: after everything `node` holds).
  int32_t NextBoundary(pugi::xml_node node, bool include) const;
  // Before or after `node` inside `paragraph`.
  int32_t InParagraph(pugi::xml_node paragraph, pugi::xml_node node, bool after) const;
  bool IsBlockContainer(pugi::xml_node node) const;

  StoryKind kind_;
  std::string part_;
  const WordNames* names_;
  pugi::xml_node root_;
  pugi::xml_node fallback_;
  std::vector<Segment> segments_;
  PositionTree tree_;
  std::unordered_map<const void*, int32_t> index_;
};

}  // namespace ovc::word
