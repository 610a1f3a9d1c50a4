#include "office/excel/recalculation.h"

#include "office/excel/formula_text.h"

namespace ovc::excel {

void Recalculation::NoteWrite() {
  written_ = true;
  calculated_.clear();
}

void Recalculation::NoteCalculated(uint32_t sheet_id, CellRef cell) {
  calculated_.emplace(sheet_id, cell.row, cell.column);
}

std::string Recalculation::StaleReason(uint32_t sheet_id, CellRef cell, std::string_view formula,
                                       bool has_cached_value) const {
  if (calculated_.contains({sheet_id, cell.row, cell.column})) return {};
  std::string reason;
  const auto add = [&reason](std::string_view part) {
    if (!reason.empty()) reason += "; ";
    reason += part;
  };
  if (written_) add("input written since load");
  if (!has_cached_value) add("no cached value");
  if (full_calc_on_load_) add("the file asks for a full calculation on load");
  if (const std::string function = VolatileFunctionIn(formula); !function.empty()) {
    add("volatile function " + function);
  }
  if (!reason.empty()) add("no formula evaluator");
  return reason;
}

}  // namespace ovc::excel
