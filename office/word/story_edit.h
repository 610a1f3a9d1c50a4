#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "office/word/story.h"

namespace ovc::word {

// True when every character can be written: letters and the controls
// "\t", "\n", "\v", "\f", "\r"; no other control character, lone surrogate,
// U+FFFE/U+FFFF or value past U+10FFFF.
bool IsWritableText(std::wstring_view text);

// The positions `text` takes once written ("\r\n" counts once).
int32_t WrittenLength(std::wstring_view text);

// A place between two sibling nodes: before `next`, or at the end of
// `parent` when `next` is empty.
struct Point {
  pugi::xml_node parent;
  pugi::xml_node next;
};

struct EditOptions {
  // "\r" starts a paragraph; otherwise it becomes a line break.
  bool paragraphs = true;
  // The run properties used when no run near the edit gives any; may be empty.
  pugi::xml_node run_properties;
};

// What an edit did: [start, old_end) now covers [start, new_end).
struct EditResult {
  int32_t start = 0;
  int32_t old_end = 0;
  int32_t new_end = 0;
};

// Edits the XML of one story and keeps its index current.
class StoryEdit {
 public:
  // `scratch` holds copies of properties while nodes move; owned by the caller.
  StoryEdit(Story* story, pugi::xml_document* scratch) : story_(*story), scratch_(*scratch) {}

  // Replaces [start, end) by `text` (see WordDocument::SetText). False and
  // *error when refused, the story then unchanged.
  bool Replace(int32_t start, int32_t end, std::wstring_view text, const EditOptions& options,
               EditResult* result, std::string* error);

  // The place just before the content at `position`, splitting a run when
  // the position falls inside it; at the story's end, after its last
  // paragraph. False when the position is the end of a table row.
  bool PointAt(int32_t position, Point* point);

 private:
  struct Plan;

  bool Check(Plan* plan, std::string* error) const;
  bool CheckParagraph(int32_t segment, Plan* plan, std::string* error) const;
  bool CheckSections(Plan* plan, std::string* error) const;
  Point SplitAt(pugi::xml_node paragraph, int32_t offset);
  // The place just after the content that ends at `offset` of `paragraph`,
  // splitting the run that holds it: what follows, if it takes no position,
  // stays after the place. At offset 0 the paragraph's start.
  Point SplitAfter(pugi::xml_node paragraph, int32_t offset);
  void CopyRunProperties(const Plan& plan, const EditOptions& options);
  std::vector<pugi::xml_node> Insert(const Point& at, std::wstring_view text, bool paragraphs,
                                     std::vector<pugi::xml_node>* breaks);
  void Remove(const Point& from, const Point& to);
  void SplitParagraph(pugi::xml_node marker);

  Story& story_;
  pugi::xml_document& scratch_;
};

}  // namespace ovc::word
