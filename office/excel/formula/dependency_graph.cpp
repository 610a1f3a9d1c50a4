#include "office/excel/formula/dependency_graph.h"

#include <algorithm>

namespace ovc::excel::formula {

namespace {

// Areas up to this many columns wide are indexed under each of their
// columns, wider ones up to this many rows high under each of their rows;
// larger ones are checked against every change.
constexpr int32_t kBucketSize = 16;
// A changed area up to this many cells is looked up cell by cell among the
// single-cell readers; a larger one scans them.
constexpr int64_t kCellLookups = 4096;

bool Overlaps(const Area& a, const Area& b) {
  return a.sheet == b.sheet && a.top <= b.bottom && b.top <= a.bottom && a.left <= b.right &&
         b.left <= a.right;
}

uint64_t LineKey(int32_t sheet, int32_t line) {
  return (uint64_t(uint32_t(sheet)) << 32) | uint32_t(line);
}

Area AreaOf(const CellKey& cell) {
  return {cell.sheet, cell.row, cell.column, cell.row, cell.column};
}

}  // namespace

uint64_t DependencyGraph::KeyOf(const CellKey& cell) {
  return (uint64_t(uint32_t(cell.sheet)) << 40) | (uint64_t(uint32_t(cell.row)) << 16) |
         uint32_t(cell.column);
}

void DependencyGraph::Add(CellKey cell, const std::vector<Area>& precedents, bool is_volatile) {
  Remove(cell);
  uint32_t formula = static_cast<uint32_t>(cells_.size());
  if (free_.empty()) {
    cells_.push_back(cell);
    volatile_.push_back(is_volatile);
    precedents_.push_back(precedents);
  } else {
    formula = free_.back();
    free_.pop_back();
    cells_[formula] = cell;
    volatile_[formula] = is_volatile;
    precedents_[formula] = precedents;
  }
  index_.emplace(KeyOf(cell), formula);
  File(formula);
}

void DependencyGraph::Remove(CellKey cell) {
  const auto found = index_.find(KeyOf(cell));
  if (found == index_.end()) return;
  const uint32_t formula = found->second;
  index_.erase(found);
  Unfile(formula);
  volatile_[formula] = false;
  precedents_[formula].clear();
  free_.push_back(formula);
}

void DependencyGraph::File(uint32_t formula) {
  for (const Area& area : precedents_[formula]) {
    if (area.top == area.bottom && area.left == area.right) {
      cell_readers_.emplace(KeyOf({area.sheet, area.top, area.left}), formula);
    } else if (area.right - area.left < kBucketSize) {
      for (int32_t column = area.left; column <= area.right; ++column) {
        column_readers_[LineKey(area.sheet, column)].push_back({area, formula});
      }
    } else if (area.bottom - area.top < kBucketSize) {
      for (int32_t row = area.top; row <= area.bottom; ++row) {
        row_readers_[LineKey(area.sheet, row)].push_back({area, formula});
      }
    } else {
      wide_readers_.push_back({area, formula});
    }
  }
}

void DependencyGraph::Unfile(uint32_t formula) {
  const auto drop = [formula](std::vector<Reader>* readers) {
    std::erase_if(*readers, [formula](const Reader& reader) { return reader.formula == formula; });
  };
  for (const Area& area : precedents_[formula]) {
    if (area.top == area.bottom && area.left == area.right) {
      auto [first, last] = cell_readers_.equal_range(KeyOf({area.sheet, area.top, area.left}));
      while (first != last) first = first->second == formula ? cell_readers_.erase(first) : ++first;
    } else if (area.right - area.left < kBucketSize) {
      for (int32_t column = area.left; column <= area.right; ++column) {
        drop(&column_readers_[LineKey(area.sheet, column)]);
      }
    } else if (area.bottom - area.top < kBucketSize) {
      for (int32_t row = area.top; row <= area.bottom; ++row) {
        drop(&row_readers_[LineKey(area.sheet, row)]);
      }
    } else {
      drop(&wide_readers_);
    }
  }
}

template <typename Visit>
void DependencyGraph::ForEachReader(const Area& area, Visit visit) const {
  const int64_t cells = int64_t(area.bottom - area.top + 1) * (area.right - area.left + 1);
  if (cells <= kCellLookups) {
    for (int32_t row = area.top; row <= area.bottom; ++row) {
      for (int32_t column = area.left; column <= area.right; ++column) {
        const auto [first, last] = cell_readers_.equal_range(KeyOf({area.sheet, row, column}));
        for (auto it = first; it != last; ++it) visit(it->second);
      }
    }
  } else {
    for (const auto& [key, formula] : cell_readers_) {
      const CellKey cell{int32_t(key >> 40), int32_t((key >> 16) & 0xFFFFFF),
                         int32_t(key & 0xFFFF)};
      if (Overlaps(area, AreaOf(cell))) visit(formula);
    }
  }
  // An area in several buckets is met once, at its first line inside `area`.
  for (int32_t column = area.left; column <= area.right; ++column) {
    const auto bucket = column_readers_.find(LineKey(area.sheet, column));
    if (bucket == column_readers_.end()) continue;
    for (const Reader& reader : bucket->second) {
      if (Overlaps(area, reader.area) && column == std::max(area.left, reader.area.left)) {
        visit(reader.formula);
      }
    }
  }
  for (int32_t row = area.top; row <= area.bottom && !row_readers_.empty(); ++row) {
    const auto bucket = row_readers_.find(LineKey(area.sheet, row));
    if (bucket == row_readers_.end()) continue;
    for (const Reader& reader : bucket->second) {
      if (Overlaps(area, reader.area) && row == std::max(area.top, reader.area.top)) {
        visit(reader.formula);
      }
    }
  }
  for (const Reader& reader : wide_readers_) {
    if (Overlaps(area, reader.area)) visit(reader.formula);
  }
}

void DependencyGraph::Plan(const std::vector<CellKey>& stale, const std::vector<Area>& written,
                           std::vector<CellKey>* order, std::vector<CellKey>* circular) const {
  std::vector<bool> planned(cells_.size(), false);
  std::vector<uint32_t> inputs(cells_.size(), 0);    // planned formulas each reads
  std::vector<uint32_t> position(cells_.size(), 0);  // in the queue
  std::vector<uint32_t> queue;
  const auto plan = [&](uint32_t formula) {
    if (planned[formula]) return;
    planned[formula] = true;
    position[formula] = static_cast<uint32_t>(queue.size());
    queue.push_back(formula);
  };
  for (const CellKey& cell : stale) {
    if (const auto found = index_.find(KeyOf(cell)); found != index_.end()) plan(found->second);
  }
  for (uint32_t formula = 0; formula < cells_.size(); ++formula) {
    if (volatile_[formula]) plan(formula);
  }
  for (const Area& area : written) ForEachReader(area, plan);
  // The readers of queue[i] are readers[reader_start[i]] up to reader_start[i + 1].
  std::vector<uint32_t> readers;
  std::vector<size_t> reader_start = {0};
  for (size_t head = 0; head < queue.size(); ++head) {
    ForEachReader(AreaOf(cells_[queue[head]]), [&](uint32_t reader) {
      plan(reader);
      ++inputs[reader];
      readers.push_back(reader);
    });
    reader_start.push_back(readers.size());
  }
  std::vector<uint32_t> ready;
  for (const uint32_t formula : queue) {
    if (inputs[formula] == 0) ready.push_back(formula);
  }
  for (size_t head = 0; head < ready.size(); ++head) {
    order->push_back(cells_[ready[head]]);
    const uint32_t at = position[ready[head]];
    for (size_t i = reader_start[at]; i < reader_start[at + 1]; ++i) {
      if (--inputs[readers[i]] == 0) ready.push_back(readers[i]);
    }
  }
  for (const uint32_t formula : queue) {
    if (inputs[formula] != 0) circular->push_back(cells_[formula]);
  }
}

void DependencyGraph::ForEachDependent(const CellKey& cell,
                                       const std::function<bool(const CellKey&)>& reach) const {
  std::vector<CellKey> reached = {cell};
  for (size_t head = 0; head < reached.size(); ++head) {
    ForEachReader(AreaOf(reached[head]), [&](uint32_t reader) {
      if (reach(cells_[reader])) reached.push_back(cells_[reader]);
    });
  }
}

}  // namespace ovc::excel::formula
