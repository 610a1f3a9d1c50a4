#include "office/word/table_grid.h"

#include <algorithm>
#include <string_view>

#include "office/word/word_markup.h"

namespace ovc::word {
namespace {

bool IsNamed(pugi::xml_node node, std::string_view local, const WordNames* names) {
  return names != nullptr ? names->Is(node, local) : IsWord(node, local);
}

// Calls `visit` with each element `local` among the children of `parent`,
// looking through content controls (w:sdt/w:sdtContent) and custom XML
// (w:customXml) without recursion, until it returns false.
template <class Visit>
void VisitThroughWrappers(pugi::xml_node parent, std::string_view local, const WordNames* names,
                          Visit&& visit) {
  std::vector<pugi::xml_node> pending;
  for (pugi::xml_node node = parent.first_child(); node;) {
    if (IsNamed(node, local, names)) {
      if (!visit(node)) return;
    } else if (IsNamed(node, "sdt", names) || IsNamed(node, "customXml", names)) {
      const pugi::xml_node content =
          IsNamed(node, "sdt", names) ? WordChild(node, "sdtContent") : node;
      pending.push_back(node.next_sibling());
      node = content.first_child();
      continue;
    }
    node = node.next_sibling();
    while (!node && !pending.empty()) {
      node = pending.back();
      pending.pop_back();
    }
  }
}

std::vector<pugi::xml_node> ChildrenThroughWrappers(pugi::xml_node parent, std::string_view local,
                                                    const WordNames* names) {
  std::vector<pugi::xml_node> found;
  VisitThroughWrappers(parent, local, names, [&](pugi::xml_node node) {
    found.push_back(node);
    return true;
  });
  return found;
}

// Whether VisitThroughWrappers over `parent` reaches its descendant
// `child`: every element between them is a content control's content or
// custom XML.
bool ReachedThroughWrappers(pugi::xml_node parent, pugi::xml_node child, const WordNames* names) {
  for (pugi::xml_node node = child.parent(); node; node = node.parent()) {
    if (node == parent) return true;
    const bool content = IsNamed(node, "sdtContent", names) && IsNamed(node.parent(), "sdt", names);
    if (!content && !IsNamed(node, "sdt", names) && !IsNamed(node, "customXml", names)) {
      return false;
    }
  }
  return false;
}

// The 1-based place of `wanted` among the elements `local` of `parent`, as
// ChildrenThroughWrappers lists them; 0 when it is not one.
int32_t PlaceThroughWrappers(pugi::xml_node parent, std::string_view local, const WordNames* names,
                             pugi::xml_node wanted) {
  int32_t place = 0;
  bool found = false;
  VisitThroughWrappers(parent, local, names, [&](pugi::xml_node node) {
    ++place;
    found = node == wanted;
    return !found;
  });
  return found ? place : 0;
}

const std::vector<pugi::xml_node>& NoCells() {
  static const std::vector<pugi::xml_node> none;
  return none;
}

}  // namespace

TableGrid::TableGrid(pugi::xml_node table, const WordNames* names)
    : rows_(ChildrenThroughWrappers(table, "tr", names)) {
  cells_.reserve(rows_.size());
  for (const pugi::xml_node& row : rows_) {
    cells_.push_back(ChildrenThroughWrappers(row, "tc", names));
  }
}

int32_t TableGrid::column_count() const {
  size_t most = 0;
  for (const auto& row : cells_) most = std::max(most, row.size());
  return static_cast<int32_t>(most);
}

pugi::xml_node TableGrid::row(int32_t row) const {
  return row >= 1 && row <= row_count() ? rows_[row - 1] : pugi::xml_node();
}

const std::vector<pugi::xml_node>& TableGrid::cells(int32_t row) const {
  return row >= 1 && row <= row_count() ? cells_[row - 1] : NoCells();
}

pugi::xml_node TableGrid::Cell(int32_t row, int32_t column) const {
  const std::vector<pugi::xml_node>& in_row = cells(row);
  if (column < 1 || column > static_cast<int32_t>(in_row.size())) return {};
  const pugi::xml_node cell = in_row[column - 1];
  return ContinuesVerticalMerge(cell) ? pugi::xml_node() : cell;
}

bool TableGrid::Locate(pugi::xml_node cell, int32_t* row, int32_t* column) const {
  for (size_t r = 0; r < cells_.size(); ++r) {
    const auto found = std::find(cells_[r].begin(), cells_[r].end(), cell);
    if (found == cells_[r].end()) continue;
    *row = static_cast<int32_t>(r) + 1;
    *column = static_cast<int32_t>(found - cells_[r].begin()) + 1;
    return true;
  }
  return false;
}

bool TableGrid::HasHorizontalMerge() const {
  for (const auto& row : cells_) {
    for (const pugi::xml_node& cell : row) {
      const pugi::xml_node properties = WordChild(cell, "tcPr");
      if (IntegerValue(WordChild(properties, "gridSpan"), 1) > 1 ||
          WordChild(properties, "hMerge")) {
        return true;
      }
    }
  }
  return false;
}

int32_t TableGrid::StepRight(int32_t* row, int32_t* column, int32_t count) const {
  int32_t steps = 0;
  int32_t r = *row;
  int32_t c = *column;
  while (steps < count) {
    if (++c > static_cast<int32_t>(cells(r).size())) {
      c = 1;
      if (++r > row_count()) break;
    }
    if (!Cell(r, c)) continue;
    *row = r;
    *column = c;
    ++steps;
  }
  return steps;
}

int32_t TableGrid::StepDown(int32_t* row, int32_t* column, int32_t count) const {
  const int32_t wanted = *column;
  int32_t steps = 0;
  for (int32_t r = *row + 1; r <= row_count() && steps < count; ++r) {
    const int32_t c = std::min(wanted, static_cast<int32_t>(cells(r).size()));
    if (!Cell(r, c)) continue;
    *row = r;
    *column = c;
    ++steps;
  }
  return steps;
}

bool ContinuesVerticalMerge(pugi::xml_node cell) {
  const pugi::xml_node merge = WordChild(WordChild(cell, "tcPr"), "vMerge");
  return merge && std::string_view(WordAttribute(merge, "val").value()) != "restart";
}

pugi::xml_node TableOf(pugi::xml_node node) {
  for (node = node.parent(); node; node = node.parent()) {
    if (IsWord(node, "tbl")) return node;
  }
  return {};
}

bool LocateCell(pugi::xml_node cell, const WordNames* names, int32_t* row, int32_t* column) {
  pugi::xml_node tr = cell.parent();
  while (tr && !IsNamed(tr, "tr", names)) tr = tr.parent();
  const pugi::xml_node table = TableOf(cell);
  if (!tr || !ReachedThroughWrappers(table, tr, names) ||
      !ReachedThroughWrappers(tr, cell, names)) {
    return false;
  }
  if (row != nullptr) *row = PlaceThroughWrappers(table, "tr", names, tr);
  if (column != nullptr) *column = PlaceThroughWrappers(tr, "tc", names, cell);
  return true;
}

}  // namespace ovc::word
