#pragma once

#include <cstdint>
#include <vector>

namespace ovc::word {

// The lengths of a story's segments with their running sums kept in a
// binary indexed tree: a length changes and a position is found in
// O(log n), so an edit never re-counts the story.
class PositionTree {
 public:
  // Replaces every length.
  void Reset(const std::vector<int32_t>& lengths);
  int32_t size() const { return static_cast<int32_t>(lengths_.size()); }
  int32_t length(int32_t index) const { return lengths_[index]; }
  int32_t total() const { return total_; }
  // Sets the length of segment `index` (0 <= index < size()).
  void SetLength(int32_t index, int32_t length);
  // The sum of the lengths before segment `index` (0 <= index <= size()).
  int32_t StartOf(int32_t index) const;
  // The segment holding `position`: the last one starting at or before it
  // whose length is not 0 (a position at or past total() gives size()).
  int32_t Find(int32_t position) const;

 private:
  std::vector<int32_t> lengths_;
  std::vector<int32_t> tree_;  // 1-based partial sums
  int32_t total_ = 0;
};

}  // namespace ovc::word
