#include "office/excel/sheet_tables.h"

#include <algorithm>
#include <optional>

#include "automation/text.h"
#include "office/excel/area_reference.h"
#include "office/excel/cell_text.h"
#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {

void SheetTables::Add(pugi::xml_document* part) {
  const pugi::xml_node table = office::DocumentRoot(part);
  CellArea area;
  if (!IsSpreadsheetElement(table, "table") ||
      !ParseAreaReference(table.attribute("ref").value(), &area))
    return;
  const int32_t rows = area.last.row - area.first.row + 1;
  const auto row_count = [&](const char* name, int32_t absent) -> std::optional<int32_t> {
    const pugi::xml_attribute count = table.attribute(name);
    return count ? office::IntegerAttribute(count, 0, rows) : absent;
  };
  const std::optional<int32_t> header_rows = row_count("headerRowCount", 1);
  const std::optional<int32_t> totals_rows = row_count("totalsRowCount", 0);
  if (!header_rows || !totals_rows) return;
  Table entry{part, table.attribute("displayName").value(), area, *header_rows, *totals_rows, {}};
  for (pugi::xml_node column : SpreadsheetChild(table, "tableColumns").children()) {
    if (IsSpreadsheetElement(column, "tableColumn")) entry.columns.push_back(column);
  }
  tables_.push_back(std::move(entry));
}

bool SheetTables::Locate(const formula::StructuredReference& reference, CellArea* area,
                         std::string* reason) const {
  reason->clear();
  const std::wstring wanted = FromUtf8(reference.table);
  for (const Table& table : tables_) {
    if (!EqualsNoCase(FromUtf8(table.name), wanted)) continue;
    CellArea located = table.area;
    if (!RowsOf(table, reference, &located, reason) ||
        !ColumnsOf(table, reference, &located, reason)) {
      return false;
    }
    *area = located;
    return true;
  }
  return false;
}

bool SheetTables::RowsOf(const Table& table, const formula::StructuredReference& reference,
                         CellArea* area, std::string* reason) const {
  if (reference.this_row) {
    *reason = "table '" + table.name + "': '#This Row' names a row only in a formula";
    return false;
  }
  const int32_t header_end = table.area.first.row + table.header_rows;
  const int32_t totals_start = table.area.last.row + 1 - table.totals_rows;
  // The first and one past the last row of each band.
  const int32_t starts[] = {table.area.first.row, header_end, totals_start};
  const int32_t ends[] = {header_end, totals_start, table.area.last.row + 1};
  const auto first = static_cast<size_t>(reference.first_rows);
  const auto last = static_cast<size_t>(reference.last_rows);
  if (reference.first_rows == formula::TableRows::kHeaders &&
      reference.last_rows == formula::TableRows::kTotals) {
    return true;  // the whole table, whichever bands it has
  }
  for (size_t band = first; band <= last; ++band) {
    if (starts[band] >= ends[band]) {
      static constexpr const char* kBands[] = {"header row", "data rows", "totals row"};
      *reason = "table '" + table.name + "' has no " + kBands[band];
      return false;
    }
  }
  area->first.row = starts[first];
  area->last.row = ends[last] - 1;
  return true;
}

bool SheetTables::ColumnsOf(const Table& table, const formula::StructuredReference& reference,
                            CellArea* area, std::string* reason) const {
  if (reference.first_column.empty()) return true;
  const auto index_of = [&](const std::string& name) -> int32_t {
    const std::wstring wanted = FromUtf8(name);
    for (size_t i = 0; i < table.columns.size(); ++i) {
      if (EqualsNoCase(FromUtf8(DecodeCellText(table.columns[i].attribute("name").value())),
                       wanted)) {
        return static_cast<int32_t>(i);
      }
    }
    *reason = "table '" + table.name + "' has no column '" + name + "'";
    return -1;
  };
  const int32_t first = index_of(reference.first_column);
  const int32_t last = first < 0 ? -1 : index_of(reference.last_column);
  if (last < 0) return false;
  area->first.column = table.area.first.column + std::min(first, last);
  area->last.column = table.area.first.column + std::max(first, last);
  return true;
}

const SheetTables::Table* SheetTables::HeaderTable(CellRef cell) const {
  for (const Table& table : tables_) {
    const size_t index = static_cast<size_t>(cell.column - table.area.first.column);
    if (table.header_rows > 0 && cell.row == table.area.first.row && Contains(table.area, cell) &&
        index < table.columns.size()) {
      return &table;
    }
  }
  return nullptr;
}

bool SheetTables::IsHeader(CellRef cell) const { return HeaderTable(cell) != nullptr; }

HRESULT SheetTables::CheckRename(CellRef cell, std::string_view name, std::string* reason) const {
  const Table* table = HeaderTable(cell);
  if (table == nullptr) return S_OK;
  if (name.empty()) {
    *reason = "a table header cannot be empty";
    return E_ACCESSDENIED;
  }
  const std::wstring wide = FromUtf8(name);
  const pugi::xml_node own =
      table->columns[static_cast<size_t>(cell.column - table->area.first.column)];
  for (pugi::xml_node column : table->columns) {
    if (column != own &&
        EqualsNoCase(FromUtf8(DecodeCellText(column.attribute("name").value())), wide)) {
      *reason = "the table already has a column named '" + std::string(name) + "'";
      return E_ACCESSDENIED;
    }
  }
  return S_OK;
}

void SheetTables::Rename(CellRef cell, std::string_view stored) {
  const Table* table = HeaderTable(cell);
  if (table == nullptr) return;
  pugi::xml_node column =
      table->columns[static_cast<size_t>(cell.column - table->area.first.column)];
  pugi::xml_attribute name = column.attribute("name");
  (name ? name : column.append_attribute("name")).set_value(std::string(stored).c_str());
  if (std::find(changed_.begin(), changed_.end(), table->part) == changed_.end()) {
    changed_.push_back(table->part);
  }
}

}  // namespace ovc::excel
