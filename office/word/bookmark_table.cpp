#include "office/word/bookmark_table.h"

#include <algorithm>
#include <utility>

#include "automation/text.h"

namespace ovc::word {

bool BookmarkTable::Add(BookmarkMarks marks) {
  std::vector<BookmarkMarks>& same = by_name_[ToLower(marks.name)];
  same.push_back(std::move(marks));
  sorted_ = false;
  return same.size() == 1;
}

const BookmarkMarks* BookmarkTable::Find(std::wstring_view name) const {
  const auto found = by_name_.find(ToLower(name));
  return found == by_name_.end() || found->second.empty() ? nullptr : &found->second.front();
}

bool BookmarkTable::Remove(std::wstring_view name) {
  const auto found = by_name_.find(ToLower(name));
  if (found == by_name_.end() || found->second.empty()) return false;
  found->second.erase(found->second.begin());
  if (found->second.empty()) by_name_.erase(found);
  sorted_ = false;
  return true;
}

void BookmarkTable::Put(BookmarkMarks marks) {
  std::vector<BookmarkMarks>& same = by_name_[ToLower(marks.name)];
  if (same.empty()) {
    same.push_back(std::move(marks));
  } else {
    same.front() = std::move(marks);
  }
  sorted_ = false;
}

void BookmarkTable::Sort() const {
  if (sorted_) return;
  visible_.clear();
  std::vector<std::pair<const std::wstring*, const BookmarkMarks*>> keyed;
  for (const auto& [key, same] : by_name_) {
    if (!same.empty() && !key.starts_with(L"_")) keyed.emplace_back(&key, &same.front());
  }
  std::sort(keyed.begin(), keyed.end(),
            [](const auto& a, const auto& b) { return *a.first < *b.first; });
  for (const auto& entry : keyed) visible_.push_back(entry.second);
  sorted_ = true;
}

int32_t BookmarkTable::visible_count() const {
  Sort();
  return static_cast<int32_t>(visible_.size());
}

const BookmarkMarks* BookmarkTable::Visible(int32_t index) const {
  Sort();
  return index >= 0 && index < static_cast<int32_t>(visible_.size()) ? visible_[index] : nullptr;
}

}  // namespace ovc::word
