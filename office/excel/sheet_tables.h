#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "automation/hresult.h"
#include "office/excel/cell_area.h"
#include "office/excel/formula/structured_reference.h"

namespace ovc::excel {

// The tables of a sheet: the cells structured references name, and the
// header cells, whose writes rename the table's column, which must keep a
// name of its own. Table parts are borrowed and must outlive the object.
class SheetTables {
 public:
  // Adds a table part of the sheet; parts that hold no table, or one whose
  // header or totals row count does not fit its rows, are ignored.
  void Add(pugi::xml_document* part);

  // The cells of `reference` when it names a table of this sheet (the table
  // name without regard to case): true and *area. False with *reason empty
  // when no table of the sheet has that name; with *reason set when the
  // table lacks the column or row band named.
  bool Locate(const formula::StructuredReference& reference, CellArea* area,
              std::string* reason) const;

  // True when `cell` is a header cell of a table.
  bool IsHeader(CellRef cell) const;
  // Checks that the header cell `cell` may take `name` (decoded text):
  // E_ACCESSDENIED with *reason for an empty name or one another column of
  // the table has (without regard to case).
  HRESULT CheckRename(CellRef cell, std::string_view name, std::string* reason) const;
  // Renames the header cell's column to `stored` (escaped as cell text is).
  void Rename(CellRef cell, std::string_view stored);

  // The table parts changed by renames.
  const std::vector<pugi::xml_document*>& changed_parts() const { return changed_; }

 private:
  struct Table {
    pugi::xml_document* part;
    std::string name;
    CellArea area;
    int32_t header_rows = 1;
    int32_t totals_rows = 0;
    std::vector<pugi::xml_node> columns;
  };
  bool RowsOf(const Table& table, const formula::StructuredReference& reference, CellArea* area,
              std::string* reason) const;
  bool ColumnsOf(const Table& table, const formula::StructuredReference& reference, CellArea* area,
                 std::string* reason) const;
  const Table* HeaderTable(CellRef cell) const;

  std::vector<Table> tables_;
  std::vector<pugi::xml_document*> changed_;
};

}  // namespace ovc::excel
