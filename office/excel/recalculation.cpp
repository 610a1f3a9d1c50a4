#include "office/excel/recalculation.h"

#include <algorithm>

#include "office/excel/formula_text.h"
#include "office/excel/name_rules.h"

namespace ovc::excel {

void Recalculation::NoteWrite(uint32_t sheet_id, const CellArea& area) {
  written_ = true;
  cells_written_at_ = changed_at_ = ++generation_;
  written_areas_.emplace_back(sheet_id, area);
}

void Recalculation::NoteCalculation(
    std::map<std::tuple<uint32_t, int32_t, int32_t>, std::string> failures) {
  workbook_calculated_at_ = ++generation_;
  failures_ = std::move(failures);
  written_areas_.clear();
  names_changed_since_calculation_ = false;
}

void Recalculation::NoteNameChange(std::string_view name) {
  written_ = names_changed_since_calculation_ = true;
  names_changed_at_[NameKey(name)] = changed_at_ = ++generation_;
}

void Recalculation::NoteCalculated(uint32_t sheet_id, CellRef cell) {
  calculated_at_[{sheet_id, cell.row, cell.column}] = ++generation_;
}

std::string Recalculation::NameChangedAfter(std::string_view formula, uint64_t generation) const {
  std::string found;
  if (names_changed_at_.empty()) return found;
  ForEachNameIn(formula, [&](std::string_view word) {
    const auto changed = names_changed_at_.find(NameKey(word));
    if (changed == names_changed_at_.end() || changed->second <= generation) return true;
    found = word;
    return false;
  });
  return found;
}

std::string Recalculation::StaleReason(uint32_t sheet_id, CellRef cell, std::string_view formula,
                                       bool has_cached_value) const {
  return Reasons(sheet_id, cell, formula, has_cached_value, true);
}

std::string Recalculation::CalculationReason(uint32_t sheet_id, CellRef cell,
                                             std::string_view formula,
                                             bool has_cached_value) const {
  return Reasons(sheet_id, cell, formula, has_cached_value, false);
}

std::string Recalculation::Reasons(uint32_t sheet_id, CellRef cell, std::string_view formula,
                                   bool has_cached_value, bool with_writes) const {
  const std::tuple key{sheet_id, cell.row, cell.column};
  const auto calculated = calculated_at_.find(key);
  const uint64_t since = std::max(workbook_calculated_at_,
                                  calculated == calculated_at_.end() ? 0 : calculated->second);
  std::string reason;
  const auto add = [&reason](std::string_view part) {
    if (!reason.empty()) reason += "; ";
    reason += part;
  };
  if (const auto failed = failures_.find(key); failed != failures_.end()) add(failed->second);
  if (with_writes && cells_written_at_ > since) add("input written since load");
  if (const std::string name = NameChangedAfter(formula, since); !name.empty()) {
    add("name '" + name + "' changed since load");
  }
  if (since == 0) {
    if (!has_cached_value) add("no cached value");
    if (full_calc_on_load_) add("the file asks for a full calculation on load");
    if (const std::string function = VolatileFunctionIn(formula); !function.empty()) {
      add("volatile function " + function);
    }
  }
  return reason;
}

}  // namespace ovc::excel
