#include "office/excel/workbook_calculation.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <tuple>
#include <unordered_map>

#include "office/excel/formula/evaluator.h"
#include "office/excel/sheet_prefix.h"

namespace ovc::excel {

namespace {

using FailureKey = std::tuple<uint32_t, int32_t, int32_t>;

// The most cells a circular-reference failure names.
constexpr size_t kNamedCircularCells = 8;
// A written area up to this many cells is read again cell by cell; in a
// larger one only the cells the sheet has and the formulas it had.
constexpr int64_t kCellLookups = 4096;

uint64_t KeyOf(const formula::CellKey& cell) {
  return (uint64_t(uint32_t(cell.sheet)) << 40) | (uint64_t(uint32_t(cell.row)) << 16) |
         uint32_t(cell.column);
}

formula::CellKey CellKeyFrom(uint64_t key) {
  return {int32_t(key >> 40), int32_t((key >> 16) & 0xFFFFFF), int32_t(key & 0xFFFF)};
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

// A formula that cannot be calculated, as the formulas reading it name it.
struct Unavailable {
  std::string cell;  // "Sheet1!B66"
  std::string reason;
};

}  // namespace

double LocalNowSerial() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  constexpr double kUnixEpochSerial = 25569;  // 1970-01-01
  return kUnixEpochSerial + double(now + local.tm_gmtoff) / 86400;
}

void WorkbookCalculation::Build(std::vector<formula::CellKey>* stale) {
  const size_t count = document_.names().sheet_names().size();
  for (size_t i = 0; i < count; ++i) {
    std::string ignored;
    sheets_.push_back(document_.SheetAt(int32_t(i), &ignored));
    extents_.emplace_back();
  }
  for (size_t i = 0; i < count; ++i) {
    if (sheets_[i] == nullptr) continue;
    sheets_[i]->ForEachCell([&](CellRef cell, pugi::xml_node) {
      GrowExtent(int32_t(i), cell);
      ReadFormula(int32_t(i), cell);
    });
  }
  const Recalculation& recalculation = document_.cells().recalculation();
  for (const auto& [key, cell] : formulas_) {
    if (!cell.problem.empty() || !recalculation
                                      .CalculationReason(sheets_[cell.sheet]->sheet_id(), cell.cell,
                                                         cell.source.text, cell.source.has_value)
                                      .empty()) {
      stale->push_back({cell.sheet, cell.cell.row, cell.cell.column});
    }
  }
  built_ = true;
}

void WorkbookCalculation::ReadChanges(std::vector<formula::CellKey>* stale) {
  Recalculation& recalculation = document_.cells().recalculation();
  for (const auto& [sheet_id, area] : recalculation.written_since_calculation()) {
    const int32_t sheet = SheetOfId(sheet_id);
    if (sheet >= 0) ReadArea(sheet, area, stale);
  }
  if (!recalculation.names_changed_since_calculation()) return;
  std::vector<formula::CellKey> using_names;
  for (const auto& [key, cell] : formulas_) {
    if (cell.uses_names) using_names.push_back({cell.sheet, cell.cell.row, cell.cell.column});
  }
  for (const formula::CellKey& key : using_names) {
    ReadFormula(key.sheet, {key.row, key.column});
    stale->push_back(key);
  }
}

void WorkbookCalculation::ReadArea(int32_t sheet, const CellArea& area,
                                   std::vector<formula::CellKey>* stale) {
  std::vector<CellRef> cells;
  const int64_t count =
      int64_t(area.last.row - area.first.row + 1) * (area.last.column - area.first.column + 1);
  if (count <= kCellLookups) {
    for (int32_t row = area.first.row; row <= area.last.row; ++row) {
      for (int32_t column = area.first.column; column <= area.last.column; ++column) {
        cells.push_back({row, column});
      }
    }
  } else {
    // A large area: the cells the sheet has there and the formulas it had.
    const auto inside = [&area](CellRef cell) {
      return area.first.row <= cell.row && cell.row <= area.last.row &&
             area.first.column <= cell.column && cell.column <= area.last.column;
    };
    for (const auto& [key, formula] : formulas_) {
      if (formula.sheet == sheet && inside(formula.cell)) cells.push_back(formula.cell);
    }
    sheets_[sheet]->ForEachCell([&](CellRef cell, pugi::xml_node) {
      if (inside(cell)) cells.push_back(cell);
    });
    std::erase_if(values_, [&](const auto& entry) {
      const formula::CellKey key = CellKeyFrom(entry.first);
      return key.sheet == sheet && inside({key.row, key.column});
    });
  }
  for (const CellRef cell : cells) {
    values_.erase(KeyOf({sheet, cell.row, cell.column}));
    if (sheets_[sheet]->FindCell(cell)) GrowExtent(sheet, cell);
    if (ReadFormula(sheet, cell)) stale->push_back({sheet, cell.row, cell.column});
  }
}

bool WorkbookCalculation::ReadFormula(int32_t sheet, CellRef cell) {
  const formula::CellKey key{sheet, cell.row, cell.column};
  FormulaCell entry{sheet, cell, {}, {}, false, {}};
  if (!document_.cells().CellFormula(*sheets_[sheet], cell, &entry.source)) {
    formulas_.erase(KeyOf(key));
    graph_.Remove(key);
    return false;
  }
  entry.problem = entry.source.problem;
  formula::Formula parsed;
  std::string error;
  if (entry.problem.empty() && !formula::ParseFormula(entry.source.text, &parsed, &error)) {
    entry.problem = "the formula cannot be read: " + error;
  }
  entry.uses_names = parsed.has_names;
  if (entry.problem.empty())
    entry.formula = formula::ExpandNames(parsed, *this, sheet, cell.row, &error);
  graph_.Add(key, formula::ReferencedAreas(entry.formula, *this, sheet), entry.formula.is_volatile);
  formulas_.insert_or_assign(KeyOf(key), std::move(entry));
  return true;
}

void WorkbookCalculation::GrowExtent(int32_t sheet, CellRef cell) {
  extents_[sheet] = {std::max(extents_[sheet].row, cell.row),
                     std::max(extents_[sheet].column, cell.column)};
}

int32_t WorkbookCalculation::SheetOfId(uint32_t sheet_id) const {
  for (size_t i = 0; i < sheets_.size(); ++i) {
    if (sheets_[i] != nullptr && sheets_[i]->sheet_id() == sheet_id) return int32_t(i);
  }
  return -1;
}

formula::Value WorkbookCalculation::Calculated(const FormulaCell& cell, std::string* problem) {
  const formula::EvaluationContext context{this, cell.sheet, cell.cell.row, cell.cell.column,
                                           cell.source.array};
  const formula::Value value = formula::Evaluate(cell.formula, context, problem);
  return ElementFor(value, cell.source.block, cell.cell);
}

void WorkbookCalculation::Run(double now) {
  now_ = now;
  evaluated_ = 0;
  std::vector<formula::CellKey> stale = std::move(failed_);
  failed_.clear();
  if (built_) {
    ReadChanges(&stale);
  } else {
    Build(&stale);
  }
  Recalculation& recalculation = document_.cells().recalculation();
  std::vector<formula::Area> written;
  for (const auto& [sheet_id, area] : recalculation.written_since_calculation()) {
    const int32_t sheet = SheetOfId(sheet_id);
    if (sheet < 0) continue;
    written.push_back({sheet, area.first.row, area.first.column, area.last.row, area.last.column});
  }
  std::vector<formula::CellKey> order, circular;
  graph_.Plan(stale, written, &order, &circular);
  recalculation.NoteCalculation(Evaluate(order, circular));
}

std::string WorkbookCalculation::CellName(const formula::CellKey& cell) const {
  return FormatSheetPrefix("", document_.names().sheet_names()[cell.sheet]) +
         FormatA1Cell({cell.row, cell.column});
}

void WorkbookCalculation::Block(const formula::CellKey& cell, size_t root,
                                std::unordered_map<uint64_t, size_t>* blocked) const {
  blocked->emplace(KeyOf(cell), root);
  graph_.ForEachDependent(cell, [&](const formula::CellKey& reader) {
    return blocked->emplace(KeyOf(reader), root).second;
  });
}

std::map<FailureKey, std::string> WorkbookCalculation::Evaluate(
    const std::vector<formula::CellKey>& order, const std::vector<formula::CellKey>& circular) {
  std::map<FailureKey, std::string> failures;
  std::vector<bool> written(sheets_.size(), false);
  const auto fail = [&](const formula::CellKey& key, const std::string& reason) {
    failures[{sheets_[key.sheet]->sheet_id(), key.row, key.column}] = reason;
    failed_.push_back(key);
    document_.cells().ForgetResult(*sheets_[key.sheet], {key.row, key.column});
    values_.erase(KeyOf(key));
    written[key.sheet] = true;
  };
  // The formulas that cannot be calculated, and by key those and the
  // formulas reading them, as indexes into `unavailable`.
  std::vector<Unavailable> unavailable;
  std::unordered_map<uint64_t, size_t> blocked;
  for (const formula::CellKey& key : order) {
    ++evaluated_;
    if (const auto root = blocked.find(KeyOf(key)); root != blocked.end()) {
      const Unavailable& cause = unavailable[root->second];
      fail(key, "depends on " + cause.cell + ", which " + cause.reason);
      continue;
    }
    FormulaCell& cell = formulas_.at(KeyOf(key));
    std::string problem = cell.problem;
    const formula::Value value = problem.empty() ? Calculated(cell, &problem) : formula::Value();
    if (!problem.empty()) {
      unavailable.push_back({CellName(key), "cannot be calculated: " + problem});
      fail(key, unavailable.back().reason);
      Block(key, unavailable.size() - 1, &blocked);
      continue;
    }
    document_.cells().StoreResult(*sheets_[key.sheet], cell.cell, value);
    written[key.sheet] = true;
    Remember(key, value);
  }
  std::string cycle;
  for (size_t i = 0; i < circular.size() && i < kNamedCircularCells; ++i) {
    if (!cycle.empty()) cycle += ", ";
    cycle += CellName(circular[i]);
  }
  if (circular.size() > kNamedCircularCells) cycle += ", ...";
  for (const formula::CellKey& key : circular) fail(key, "circular reference among " + cycle);
  for (size_t sheet = 0; sheet < written.size(); ++sheet) {
    if (written[sheet]) document_.NoteCellsWritten(int32_t(sheet));
  }
  return failures;
}

void WorkbookCalculation::Remember(const formula::CellKey& cell, const formula::Value& stored) {
  // A blank result is stored as 0; text is read back as the cell stores it.
  if (stored.is_text()) {
    values_.erase(KeyOf(cell));
  } else {
    values_.insert_or_assign(KeyOf(cell), stored.is_blank() ? formula::Value::Number(0) : stored);
  }
}

formula::Value WorkbookCalculation::CellValue(int32_t sheet, int32_t row, int32_t column) {
  if (sheet < 0 || size_t(sheet) >= sheets_.size()) return formula::Value();
  if (sheets_[sheet] == nullptr) return formula::Value::Error(formula::ErrorCode::kRef);
  const uint64_t key = KeyOf({sheet, row, column});
  if (const auto known = values_.find(key); known != values_.end()) return known->second;
  formula::Value value = document_.cells().StoredValue(*sheets_[sheet], {row, column});
  if (!value.is_blank()) values_.emplace(key, value);
  return value;
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

bool WorkbookCalculation::TableArea(const formula::StructuredReference& reference,
                                    formula::Area* area, std::string* problem) {
  NameTarget target;
  *problem = "no table '" + reference.table + "'";
  if (!document_.LocateTable(reference, &target, problem)) return false;
  *area = {target.sheet, target.area.first.row, target.area.first.column, target.area.last.row,
           target.area.last.column};
  return true;
}

}  // namespace ovc::excel
