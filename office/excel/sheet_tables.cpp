#include "office/excel/sheet_tables.h"

#include <algorithm>

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
  const pugi::xml_attribute header_rows = table.attribute("headerRowCount");
  if (header_rows && header_rows.as_int() == 0) return;
  Table entry{part, area, {}};
  for (pugi::xml_node column : SpreadsheetChild(table, "tableColumns").children()) {
    if (IsSpreadsheetElement(column, "tableColumn")) entry.columns.push_back(column);
  }
  tables_.push_back(std::move(entry));
}

const SheetTables::Table* SheetTables::HeaderTable(CellRef cell) const {
  for (const Table& table : tables_) {
    const size_t index = static_cast<size_t>(cell.column - table.area.first.column);
    if (cell.row == table.area.first.row && Contains(table.area, cell) &&
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
