#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "automation/hresult.h"
#include "office/excel/cell_area.h"

namespace ovc::excel {

// The tables of a sheet, as far as cell writes touch them: a write into a
// header cell renames the table's column, which must keep a name of its own.
// Table parts are borrowed and must outlive the object.
class SheetTables {
 public:
  // Adds a table part of the sheet; parts that hold no table are ignored.
  void Add(pugi::xml_document* part);

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
    CellArea area;
    std::vector<pugi::xml_node> columns;
  };
  const Table* HeaderTable(CellRef cell) const;

  std::vector<Table> tables_;
  std::vector<pugi::xml_document*> changed_;
};

}  // namespace ovc::excel
