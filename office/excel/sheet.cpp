#include "office/excel/sheet.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>

namespace ovc::excel {

namespace {

std::string RowText(int32_t row) { return std::to_string(row); }

}  // namespace

Sheet::Sheet(pugi::xml_document& part, uint32_t sheet_id)
    : worksheet_(part.document_element()), sheet_id_(sheet_id) {
  sheet_data_ = SpreadsheetChild(worksheet_, "sheetData");
  protected_ =
      office::BooleanAttribute(SpreadsheetChild(worksheet_, "sheetProtection").attribute("sheet"));
  for (pugi::xml_node col : SpreadsheetChild(worksheet_, "cols").children()) {
    if (!IsSpreadsheetElement(col, "col")) continue;
    const uint32_t style = office::IntegerAttribute<uint32_t>(col.attribute("style")).value_or(0);
    const std::optional<int32_t> first =
        office::IntegerAttribute(col.attribute("min"), 1, kMaxColumn);
    const std::optional<int32_t> last =
        office::IntegerAttribute(col.attribute("max"), 1, kMaxColumn);
    if (style != 0 && first && last) column_styles_.push_back({*first, *last, style});
  }
  for (pugi::xml_node merge : SpreadsheetChild(worksheet_, "mergeCells").children()) {
    CellArea area;
    if (IsSpreadsheetElement(merge, "mergeCell") &&
        ParseAreaReference(merge.attribute("ref").value(), &area)) {
      merged_.push_back(area);
    }
  }
  IndexRows();
}

void Sheet::IndexRows() {
  int32_t previous = 0;
  for (pugi::xml_node row = sheet_data_.first_child(); row; row = row.next_sibling()) {
    if (!IsSpreadsheetElement(row, "row")) continue;
    int32_t number = previous + 1;
    const pugi::xml_attribute r = row.attribute("r");
    if (!r) {
      implicit_rows_ = true;
    } else if (const std::optional<int32_t> given = office::IntegerAttribute(r)) {
      number = *given;
    } else {
      continue;
    }
    if (number < 1 || number > kMaxRow) continue;
    previous = number;
    rows_.try_emplace(rows_.end(), number, RowSlot{row, {}, false, false});
  }
}

void Sheet::IndexCells(int32_t row, RowSlot* slot) {
  int32_t previous = 0;
  for (pugi::xml_node c = slot->node.first_child(); c; c = c.next_sibling()) {
    if (!IsSpreadsheetElement(c, "c")) continue;
    CellRef cell{row, previous + 1};
    const pugi::xml_attribute r = c.attribute("r");
    if (!r) {
      slot->implicit_columns = true;
    } else if (!ParseA1Cell(r.value(), &cell)) {
      continue;
    }
    if (cell.column > kMaxColumn) continue;
    previous = cell.column;
    slot->cells.push_back({cell.column, c});
  }
  const auto before = [](const CellSlot& a, const CellSlot& b) { return a.column < b.column; };
  // Rows almost always list their cells in order, once each: sorting them
  // would only cost a buffer per row.
  if (std::adjacent_find(slot->cells.begin(), slot->cells.end(), std::not_fn(before)) !=
      slot->cells.end()) {
    std::stable_sort(slot->cells.begin(), slot->cells.end(), before);
    slot->cells.erase(
        std::unique(slot->cells.begin(), slot->cells.end(),
                    [](const CellSlot& a, const CellSlot& b) { return a.column == b.column; }),
        slot->cells.end());
  }
  slot->indexed = true;
}

Sheet::RowSlot* Sheet::FindRow(int32_t row) {
  if (last_slot_ != nullptr && last_row_ == row) return last_slot_;
  const auto found = rows_.find(row);
  if (found == rows_.end()) return nullptr;
  if (!found->second.indexed) IndexCells(row, &found->second);
  last_row_ = row;
  last_slot_ = &found->second;
  return last_slot_;
}

pugi::xml_node Sheet::FindCell(CellRef cell) {
  const RowSlot* row = FindRow(cell.row);
  if (row == nullptr) return {};
  const auto slot =
      std::lower_bound(row->cells.begin(), row->cells.end(), cell.column,
                       [](const CellSlot& s, int32_t column) { return s.column < column; });
  return slot != row->cells.end() && slot->column == cell.column ? slot->node : pugi::xml_node();
}

void Sheet::NameImplicitRows() {
  for (auto& [number, slot] : rows_) {
    if (!slot.node.attribute("r")) slot.node.prepend_attribute("r") = RowText(number).c_str();
  }
  implicit_rows_ = false;
}

Sheet::RowSlot& Sheet::FindOrAddRow(int32_t row) {
  if (RowSlot* found = FindRow(row)) return *found;
  if (!sheet_data_) {
    sheet_data_ = office::InsertInOrder(
        worksheet_, kSpreadsheetNamespace, "sheetData",
        {"sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData"});
  }
  if (implicit_rows_) NameImplicitRows();
  const auto next = rows_.upper_bound(row);
  const std::string name = SpreadsheetName(sheet_data_, "row");
  pugi::xml_node node = next == rows_.end()
                            ? sheet_data_.append_child(name.c_str())
                            : sheet_data_.insert_child_before(name.c_str(), next->second.node);
  node.append_attribute("r") = RowText(row).c_str();
  return rows_.emplace_hint(next, row, RowSlot{node, {}, true, false})->second;
}

pugi::xml_node Sheet::FindOrAddCell(CellRef cell) {
  RowSlot& row = FindOrAddRow(cell.row);
  auto slot = std::lower_bound(row.cells.begin(), row.cells.end(), cell.column,
                               [](const CellSlot& s, int32_t column) { return s.column < column; });
  if (slot != row.cells.end() && slot->column == cell.column) return slot->node;
  if (row.implicit_columns) {
    for (CellSlot& named : row.cells) {
      if (!named.node.attribute("r")) {
        named.node.prepend_attribute("r") = FormatA1Cell({cell.row, named.column}).c_str();
      }
    }
    row.implicit_columns = false;
  }
  const std::string name = SpreadsheetName(row.node, "c");
  pugi::xml_node node;
  if (slot != row.cells.end()) {
    node = row.node.insert_child_before(name.c_str(), slot->node);
  } else if (!row.cells.empty()) {
    // After the last cell: looking for the row's extLst would scan every cell.
    node = row.node.insert_child_after(name.c_str(), row.cells.back().node);
  } else if (const pugi::xml_node extensions = SpreadsheetChild(row.node, "extLst")) {
    node = row.node.insert_child_before(name.c_str(), extensions);
  } else {
    node = row.node.append_child(name.c_str());
  }
  node.append_attribute("r") = FormatA1Cell(cell).c_str();
  if (const uint32_t style = DefaultStyle(cell, &row)) node.append_attribute("s") = style;
  row.cells.insert(slot, {cell.column, node});
  GrowSpans(row.node, cell.column);
  GrowDimension(cell);
  return node;
}

uint32_t Sheet::DefaultStyle(CellRef cell, const RowSlot* row) const {
  if (row != nullptr && office::BooleanAttribute(row->node.attribute("customFormat"))) {
    return StyleIndex(row->node);
  }
  for (const ColumnStyle& column : column_styles_) {
    if (cell.column >= column.first && cell.column <= column.last) return column.style;
  }
  return 0;
}

uint32_t Sheet::StyleOf(CellRef cell) {
  if (pugi::xml_node node = FindCell(cell)) return StyleIndex(node);
  return DefaultStyle(cell, FindRow(cell.row));
}

void Sheet::GrowSpans(pugi::xml_node row, int32_t column) {
  pugi::xml_attribute spans = row.attribute("spans");
  if (!spans) return;
  const std::string_view text = spans.value();
  const size_t colon = text.find(':');
  const std::optional<int32_t> first =
      colon == std::string_view::npos ? std::nullopt : office::XmlInteger(text.substr(0, colon));
  const std::optional<int32_t> last =
      colon == std::string_view::npos ? std::nullopt : office::XmlInteger(text.substr(colon + 1));
  if (!first || !last) {
    row.remove_attribute(spans);
    return;
  }
  if (column >= *first && column <= *last) return;
  const std::string grown =
      std::to_string(std::min(*first, column)) + ":" + std::to_string(std::max(*last, column));
  spans.set_value(grown.c_str());
}

void Sheet::GrowDimension(CellRef cell) {
  pugi::xml_attribute ref = SpreadsheetChild(worksheet_, "dimension").attribute("ref");
  CellArea area;
  if (!ref || !ParseAreaReference(ref.value(), &area) || Contains(area, cell)) return;
  area.first = {std::min(area.first.row, cell.row), std::min(area.first.column, cell.column)};
  area.last = {std::max(area.last.row, cell.row), std::max(area.last.column, cell.column)};
  ref.set_value(FormatAddress(area, kRelativeA1).c_str());
}

void Sheet::ForEachCell(const std::function<void(CellRef, pugi::xml_node)>& visit) {
  for (auto& [number, slot] : rows_) {
    if (!slot.indexed) IndexCells(number, &slot);
    for (const CellSlot& cell : slot.cells) visit({number, cell.column}, cell.node);
  }
}

// Gathers the formulas without indexing every row: a cell's position is read
// only when it holds a formula, unless the row leaves positions implicit.
const SheetFormulas& Sheet::formulas() {
  if (formulas_) return *formulas_;
  formulas_ = std::make_unique<SheetFormulas>();
  for (auto& [number, slot] : rows_) {
    if (!slot.indexed && AllCellsNamed(slot.node)) {
      for (pugi::xml_node c = slot.node.first_child(); c; c = c.next_sibling()) {
        CellRef cell;
        // The cheap tests first: the namespace is looked up only for formulas.
        if (SpreadsheetChild(c, "f") && IsSpreadsheetElement(c, "c") &&
            ParseA1Cell(c.attribute("r").value(), &cell)) {
          formulas_->Add({number, cell.column}, c);
        }
      }
      continue;
    }
    if (!slot.indexed) IndexCells(number, &slot);
    for (const CellSlot& cell : slot.cells) formulas_->Add({number, cell.column}, cell.node);
  }
  return *formulas_;
}

bool Sheet::AllCellsNamed(pugi::xml_node row) const {
  for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
    if (!c.attribute("r") && IsSpreadsheetElement(c, "c")) return false;
  }
  return true;
}

std::optional<CellArea> Sheet::MergedAreaOf(CellRef cell) const {
  for (const CellArea& area : merged_) {
    if (Contains(area, cell)) return area;
  }
  return std::nullopt;
}

}  // namespace ovc::excel
