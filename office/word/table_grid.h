#pragma once

#include <cstdint>
#include <vector>

#include <pugixml.hpp>

#include "office/word/word_names.h"

namespace ovc::word {

// The rows and cells of one table (a w:tbl), as automation numbers them:
// rows are the w:tr elements, a row's cells its w:tc elements in order (a
// cell spanning grid columns counts once, w:gridBefore not at all); rows
// and cells inside content controls or custom XML count as if unwrapped;
// nested tables are not part of the grid. Borrows the XML, which must
// outlive the grid and stay unchanged. Given the names of the table's part
// (WordDocument::NamesOf), rows and cells are told by them, which is much
// quicker than resolving each element's namespace.
class TableGrid {
 public:
  explicit TableGrid(pugi::xml_node table, const WordNames* names = nullptr);

  int32_t row_count() const { return static_cast<int32_t>(rows_.size()); }
  // The most cells in a row.
  int32_t column_count() const;
  // The w:tr of a 1-based row; empty when out of range.
  pugi::xml_node row(int32_t row) const;
  // The w:tc elements of a 1-based row; empty when out of range.
  const std::vector<pugi::xml_node>& cells(int32_t row) const;

  // The cell at a 1-based row and column; empty when out of range or when
  // the cell only continues a vertical merge (it cannot be reached).
  pugi::xml_node Cell(int32_t row, int32_t column) const;
  // The 1-based row and column of a w:tc of this table; false when it is not one.
  bool Locate(pugi::xml_node cell, int32_t* row, int32_t* column) const;

  // True when a cell spans several grid columns (w:gridSpan over 1, w:hMerge).
  bool HasHorizontalMerge() const;

  // Steps `count` reachable cells onward from the cell at (*row, *column):
  // right goes along the row and on to the next row's first cell, down goes
  // to the same column of the rows below (the row's last cell when it is
  // shorter). Updates the position; returns the steps made, fewer than
  // `count` at the table's edge.
  int32_t StepRight(int32_t* row, int32_t* column, int32_t count) const;
  int32_t StepDown(int32_t* row, int32_t* column, int32_t count) const;

 private:
  std::vector<pugi::xml_node> rows_;
  std::vector<std::vector<pugi::xml_node>> cells_;
};

// True for a w:tc that continues a vertical merge (w:vMerge without
// "restart").
bool ContinuesVerticalMerge(pugi::xml_node cell);

// The nearest w:tbl containing `node`; empty when none.
pugi::xml_node TableOf(pugi::xml_node node);

// What TableGrid(TableOf(cell), names).Locate gives for a w:tc, without
// the grid: false when the grid has no such cell; otherwise the 1-based row
// and column, each only when asked for (a null pointer is not), reading the
// table's rows up to the cell's and the cell's own row.
bool LocateCell(pugi::xml_node cell, const WordNames* names, int32_t* row, int32_t* column);

}  // namespace ovc::word
