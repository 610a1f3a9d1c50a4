#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "office/excel/cell_reference.h"

namespace ovc::excel {

// Which formula cells of a workbook hold a value that can be trusted. A
// formula's cached value is stale when it has none, when the file asks for a
// full calculation on load, when the formula calls a volatile function, or
// when anything was written since load: without a dependency graph any
// write may change any formula. A cell an evaluator calculated is fresh
// again until the next write.
class Recalculation {
 public:
  explicit Recalculation(bool full_calc_on_load) : full_calc_on_load_(full_calc_on_load) {}

  // Records a change to the workbook (a cell, a name).
  void NoteWrite();
  bool written() const { return written_; }

  // Records that an evaluator stored a fresh value in a formula cell.
  void NoteCalculated(uint32_t sheet_id, CellRef cell);

  // Why the cached value of a formula cell is stale ("input written since
  // load; volatile function NOW"), or "" when it is fresh. `formula` is the
  // cell's formula text (for a shared or array formula, the group's).
  std::string StaleReason(uint32_t sheet_id, CellRef cell, std::string_view formula,
                          bool has_cached_value) const;

 private:
  bool full_calc_on_load_;
  bool written_ = false;
  std::set<std::tuple<uint32_t, int32_t, int32_t>> calculated_;
};

}  // namespace ovc::excel
