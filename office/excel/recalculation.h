#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "office/excel/cell_reference.h"

namespace ovc::excel {

// Which formula cells of a workbook hold a value that can be trusted. A
// formula's cached value is stale when it has none, when the file asks for a
// full calculation on load, when the formula calls a volatile function, when
// a cell was written since (the calculation finds which formulas the write
// reaches), or when a defined name the formula uses was added, redefined or
// deleted since. A calculation makes every formula fresh until the next
// change, except those it could not calculate, which keep their reason.
// Every event is stamped with a rising generation, so that a calculation is
// judged against what came after it.
class Recalculation {
 public:
  explicit Recalculation(bool full_calc_on_load) : full_calc_on_load_(full_calc_on_load) {}

  // Records a write of `area` on the sheet of id `sheet_id`: every formula
  // may be stale until a calculation.
  void NoteWrite(uint32_t sheet_id, const CellArea& area);
  // The areas written since the last calculation, by sheet id.
  const std::vector<std::pair<uint32_t, CellArea>>& written_since_calculation() const {
    return written_areas_;
  }
  // Records that the defined name `name` was added, redefined or deleted:
  // the formulas using it by that name are stale.
  void NoteNameChange(std::string_view name);
  // True when a defined name was added, redefined or deleted since the last
  // calculation.
  bool names_changed_since_calculation() const { return names_changed_since_calculation_; }
  // True after any write (cells or names) since load.
  bool written() const { return written_; }
  // True when formulas are left uncalculated: by a write since load after
  // the last calculation, or by formulas that calculation could not
  // calculate (which keep no cached value).
  bool uncalculated() const {
    return (written_ && changed_at_ > workbook_calculated_at_) || !failures_.empty();
  }

  // Records that an evaluator stored a fresh value in a formula cell.
  void NoteCalculated(uint32_t sheet_id, CellRef cell);
  // Records a calculation of the whole workbook: every formula is fresh but
  // those in `failures` (by sheet id and cell), which fail to read with
  // their reason until the next calculation.
  void NoteCalculation(std::map<std::tuple<uint32_t, int32_t, int32_t>, std::string> failures);

  // Why the cached value of a formula cell is stale ("input written since
  // load; volatile function NOW"), or "" when it is fresh. `formula` is the
  // cell's formula text (for a shared or array formula, the group's).
  std::string StaleReason(uint32_t sheet_id, CellRef cell, std::string_view formula,
                          bool has_cached_value) const;
  // Why the formula must be calculated whatever was written: what
  // StaleReason gives but cell writes; "" when it need not be.
  std::string CalculationReason(uint32_t sheet_id, CellRef cell, std::string_view formula,
                                bool has_cached_value) const;

 private:
  // The first name of the formula changed after `generation`, as the
  // formula spells it; "" when none.
  std::string NameChangedAfter(std::string_view formula, uint64_t generation) const;
  std::string Reasons(uint32_t sheet_id, CellRef cell, std::string_view formula,
                      bool has_cached_value, bool with_writes) const;

  bool full_calc_on_load_;
  bool written_ = false;
  bool names_changed_since_calculation_ = false;
  uint64_t generation_ = 0;
  uint64_t cells_written_at_ = 0;                               // 0: no cell written
  uint64_t changed_at_ = 0;                                     // the last write of cells or names
  std::unordered_map<std::string, uint64_t> names_changed_at_;  // by NameKey
  std::map<std::tuple<uint32_t, int32_t, int32_t>, uint64_t> calculated_at_;
  uint64_t workbook_calculated_at_ = 0;  // 0: never
  std::map<std::tuple<uint32_t, int32_t, int32_t>, std::string> failures_;
  std::vector<std::pair<uint32_t, CellArea>> written_areas_;
};

}  // namespace ovc::excel
