#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include <pugixml.hpp>

#include "office/excel/cell_reference.h"

namespace ovc::excel {

// A block of cells one formula fills: an array formula, the spill of a
// dynamic array formula, or a data table. Its `formula` is the anchor's `f`.
struct FormulaBlock {
  enum class Kind { kArray, kSpill, kDataTable };
  Kind kind;
  CellArea area;
  pugi::xml_node formula;
};

// A shared formula: the master cell holding the text and the cells sharing
// it, in row and column order.
struct SharedFormula {
  CellRef master;
  pugi::xml_node formula;
  std::vector<CellRef> members;
};

// The formulas of a sheet that reach beyond their own cell, gathered from
// the cells the sheet hands in (Add, in row and column order).
class SheetFormulas {
 public:
  SheetFormulas() = default;
  SheetFormulas(const SheetFormulas&) = delete;
  SheetFormulas& operator=(const SheetFormulas&) = delete;

  void Add(CellRef cell, pugi::xml_node c);

  // The block of more than one cell holding `cell`, or null.
  const FormulaBlock* BlockOf(CellRef cell) const;
  // The shared formula an f element of type shared belongs to (by its
  // index, si), or null.
  const SharedFormula* Shared(pugi::xml_node f) const;

 private:
  std::vector<FormulaBlock> blocks_;
  std::map<uint32_t, SharedFormula> shared_;
};

}  // namespace ovc::excel
