#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include "office/excel/cell_reference.h"

namespace ovc::excel {

// Which formula cells of a workbook hold a value that can be trusted. A
// formula's cached value is stale when it has none, when the file asks for a
// full calculation on load, when the formula calls a volatile function, when
// a cell was written since load (without a dependency graph any cell write
// may change any formula), or when a defined name the formula uses was
// added, redefined or deleted since. A cell an evaluator calculated is fresh
// until a later write that may change it: every event is stamped with a
// rising generation, so an evaluator's result is judged against what came
// after it.
class Recalculation {
 public:
  explicit Recalculation(bool full_calc_on_load) : full_calc_on_load_(full_calc_on_load) {}

  // Records a cell write: every formula may be stale.
  void NoteWrite();
  // Records that the defined name `name` was added, redefined or deleted:
  // the formulas using it by that name are stale.
  void NoteNameChange(std::string_view name);
  // True after any write (cells or names) since load.
  bool written() const { return written_; }

  // Records that an evaluator stored a fresh value in a formula cell.
  void NoteCalculated(uint32_t sheet_id, CellRef cell);

  // Why the cached value of a formula cell is stale ("input written since
  // load; volatile function NOW"), or "" when it is fresh. `formula` is the
  // cell's formula text (for a shared or array formula, the group's).
  std::string StaleReason(uint32_t sheet_id, CellRef cell, std::string_view formula,
                          bool has_cached_value) const;

 private:
  // The first name of the formula changed after `generation`, as the
  // formula spells it; "" when none.
  std::string NameChangedAfter(std::string_view formula, uint64_t generation) const;

  bool full_calc_on_load_;
  bool written_ = false;
  uint64_t generation_ = 0;
  uint64_t cells_written_at_ = 0;                               // 0: no cell written
  std::unordered_map<std::string, uint64_t> names_changed_at_;  // by NameKey
  std::map<std::tuple<uint32_t, int32_t, int32_t>, uint64_t> calculated_at_;
};

}  // namespace ovc::excel
