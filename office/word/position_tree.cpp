#include "office/word/position_tree.h"

#include <cstddef>

namespace ovc::word {

void PositionTree::Reset(const std::vector<int32_t>& lengths) {
  lengths_ = lengths;
  tree_.assign(lengths.size() + 1, 0);
  total_ = 0;
  for (std::size_t i = 1; i <= lengths.size(); ++i) {
    tree_[i] += lengths[i - 1];
    total_ += lengths[i - 1];
    const std::size_t parent = i + (i & (~i + 1));
    if (parent <= lengths.size()) tree_[parent] += tree_[i];
  }
}

void PositionTree::SetLength(int32_t index, int32_t length) {
  const int32_t delta = length - lengths_[index];
  lengths_[index] = length;
  total_ += delta;
  for (std::size_t i = static_cast<std::size_t>(index) + 1; i < tree_.size(); i += i & (~i + 1)) {
    tree_[i] += delta;
  }
}

int32_t PositionTree::StartOf(int32_t index) const {
  int32_t sum = 0;
  for (std::size_t i = static_cast<std::size_t>(index); i > 0; i -= i & (~i + 1)) sum += tree_[i];
  return sum;
}

int32_t PositionTree::Find(int32_t position) const {
  if (position >= total_) return size();
  // The largest prefix whose sum stays at or below `position`.
  std::size_t index = 0;
  std::size_t step = 1;
  while (step * 2 < tree_.size()) step *= 2;
  int32_t remaining = position;
  for (; step > 0; step /= 2) {
    if (index + step < tree_.size() && tree_[index + step] <= remaining) {
      index += step;
      remaining -= tree_[index];
    }
  }
  return static_cast<int32_t>(index);
}

}  // namespace ovc::word
