#include "office/excel/workbook_calculation.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <tuple>
#include <unordered_map>

#include "office/excel/formula/dependency_graph.h"
#include "office/excel/formula/evaluator.h"
#include "office/excel/sheet_prefix.h"

namespace ovc::excel {

namespace {

using FailureKey = std::tuple<uint32_t, int32_t, int32_t>;

// The most cells a circular-reference failure names.
constexpr size_t kNamedCircularCells = 8;

uint64_t KeyOf(const formula::CellKey& cell) {
  return (uint64_t(uint32_t(cell.sheet)) << 40) | (uint64_t(uint32_t(cell.row)) << 16) |
         uint32_t(cell.column);
}

// The element of an array formula's result that falls to `cell`.
formula::Value ElementFor(const formula::Value& value, const CellArea& block, CellRef cell) {
  if (!value.is_array()) return value;
  const formula::ArrayData& array = value.array();
  const int32_t row = array.rows == 1 ? 0 : cell.row - block.first.row;
  const int32_t column = array.columns == 1 ? 0 : cell.column - block.first.column;
  if (row >= array.rows || column >= array.columns) {
    return formula::Value::Error(formula::ErrorCode::kNA);
  }
  return array.At(row, column);
}

}  // namespace

double LocalNowSerial() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  constexpr double kUnixEpochSerial = 25569;  // 1970-01-01
  return kUnixEpochSerial + double(now + local.tm_gmtoff) / 86400;
}

void WorkbookCalculation::ReadSheets() {
  const size_t count = document_.names().sheet_names().size();
  for (size_t i = 0; i < count; ++i) {
    std::string ignored;
    sheets_.push_back(document_.SheetAt(int32_t(i), &ignored));
    extents_.emplace_back();
  }
  for (size_t i = 0; i < count; ++i) {
    if (sheets_[i] == nullptr) continue;
    sheets_[i]->ForEachCell([&](CellRef cell, pugi::xml_node) {
      extents_[i] = {std::max(extents_[i].row, cell.row),
                     std::max(extents_[i].column, cell.column)};
      ReadFormula(int32_t(i), cell);
    });
  }
}

void WorkbookCalculation::ReadFormula(int32_t sheet, CellRef cell) {
  FormulaCell entry{sheet, cell, {}, {}, {}};
  if (!document_.cells().CellFormula(*sheets_[sheet], cell, &entry.source)) return;
  entry.problem = entry.source.problem;
  formula::Formula parsed;
  std::string error;
  if (entry.problem.empty() && !formula::ParseFormula(entry.source.text, &parsed, &error)) {
    entry.problem = "the formula cannot be read: " + error;
  }
  if (entry.problem.empty()) entry.formula = formula::ExpandNames(parsed, *this, sheet, &error);
  formulas_.push_back(std::move(entry));
}

formula::Value WorkbookCalculation::Calculated(const FormulaCell& cell, std::string* problem) {
  const formula::EvaluationContext context{this, cell.sheet, cell.cell.row, cell.cell.column,
                                           cell.source.array};
  const formula::Value value = formula::Evaluate(cell.formula, context, problem);
  return ElementFor(value, cell.source.block, cell.cell);
}

void WorkbookCalculation::Run() {
  ReadSheets();
  Recalculation& recalculation = document_.cells().recalculation();
  formula::DependencyGraph graph;
  std::vector<formula::CellKey> stale;
  std::unordered_map<uint64_t, size_t> by_key;
  for (size_t i = 0; i < formulas_.size(); ++i) {
    const FormulaCell& cell = formulas_[i];
    const formula::CellKey key{cell.sheet, cell.cell.row, cell.cell.column};
    by_key.emplace(KeyOf(key), i);
    graph.Add(key, formula::ReferencedAreas(cell.formula, *this, cell.sheet),
              cell.formula.is_volatile);
    if (!cell.problem.empty() || !recalculation
                                      .CalculationReason(sheets_[cell.sheet]->sheet_id(), cell.cell,
                                                         cell.source.text, cell.source.has_value)
                                      .empty()) {
      stale.push_back(key);
    }
  }
  std::vector<formula::Area> written;
  for (const auto& [sheet_id, area] : recalculation.written_since_calculation()) {
    for (size_t i = 0; i < sheets_.size(); ++i) {
      if (sheets_[i] == nullptr || sheets_[i]->sheet_id() != sheet_id) continue;
      written.push_back(
          {int32_t(i), area.first.row, area.first.column, area.last.row, area.last.column});
    }
  }
  std::vector<formula::CellKey> order, circular;
  graph.Plan(stale, written, &order, &circular);
  std::map<FailureKey, std::string> failures;
  const auto fail = [&](const formula::CellKey& key, const std::string& reason) {
    failures[{sheets_[key.sheet]->sheet_id(), key.row, key.column}] = reason;
  };
  for (const formula::CellKey& key : order) {
    FormulaCell& cell = formulas_[by_key.at(KeyOf(key))];
    std::string problem = cell.problem;
    const formula::Value value = problem.empty() ? Calculated(cell, &problem) : formula::Value();
    ++evaluated_;
    if (!problem.empty()) {
      fail(key, "cannot be calculated: " + problem);
      continue;
    }
    document_.cells().StoreResult(*sheets_[key.sheet], cell.cell, value);
    document_.NoteCellsWritten(key.sheet);
  }
  std::string cycle;
  for (size_t i = 0; i < circular.size() && i < kNamedCircularCells; ++i) {
    if (!cycle.empty()) cycle += ", ";
    cycle += FormatSheetPrefix("", document_.names().sheet_names()[circular[i].sheet]) +
             FormatA1Cell({circular[i].row, circular[i].column});
  }
  if (circular.size() > kNamedCircularCells) cycle += ", ...";
  for (const formula::CellKey& key : circular) fail(key, "circular reference among " + cycle);
  recalculation.NoteCalculation(std::move(failures));
}

formula::Value WorkbookCalculation::CellValue(int32_t sheet, int32_t row, int32_t column) {
  if (sheet < 0 || size_t(sheet) >= sheets_.size()) return formula::Value();
  if (sheets_[sheet] == nullptr) return formula::Value::Error(formula::ErrorCode::kRef);
  return document_.cells().StoredValue(*sheets_[sheet], {row, column});
}

void WorkbookCalculation::UsedExtent(int32_t sheet, int32_t* last_row, int32_t* last_column) {
  const bool known = sheet >= 0 && size_t(sheet) < extents_.size();
  *last_row = known ? extents_[sheet].row : 0;
  *last_column = known ? extents_[sheet].column : 0;
}

int32_t WorkbookCalculation::SheetIndex(std::string_view name) {
  return document_.names().SheetIndex(name);
}

bool WorkbookCalculation::NameFormula(std::string_view name, int32_t sheet, std::string* formula) {
  NameId id = 0;
  std::string reason;
  HRESULT code = S_OK;
  DefinedName defined;
  if (!document_.names().Find(name, sheet, &id, &reason, &code) ||
      !document_.names().Get(id, &defined)) {
    return false;
  }
  *formula = defined.formula;
  return true;
}

}  // namespace ovc::excel
