#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "office/word/word_document.h"

namespace ovc::word {

// A bookmark whose start and end marks were both found in one story.
struct BookmarkMarks {
  std::wstring name;
  StoryIndex story = 0;
  pugi::xml_node start;
  pugi::xml_node end;
};

// The bookmarks by name without regard to case: a lookup is one hash, the
// sorted list of visible names is made again only after a change.
class BookmarkTable {
 public:
  // Adds a bookmark after those already added; a name already taken keeps
  // resolving to the first one (returns false then).
  bool Add(BookmarkMarks marks);
  // The first bookmark of that name, or null.
  const BookmarkMarks* Find(std::wstring_view name) const;
  // Removes the first bookmark of that name (the next one of the name then
  // resolves). False when absent.
  bool Remove(std::wstring_view name);
  // Replaces the first bookmark of marks.name (case-insensitive) in place,
  // or adds it when absent.
  void Put(BookmarkMarks marks);

  // The visible bookmarks (not starting with "_"), sorted by name without
  // regard to case.
  int32_t visible_count() const;
  const BookmarkMarks* Visible(int32_t index) const;

 private:
  void Sort() const;

  std::unordered_map<std::wstring, std::vector<BookmarkMarks>> by_name_;
  mutable std::vector<const BookmarkMarks*> visible_;
  mutable bool sorted_ = false;
};

}  // namespace ovc::word
