#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <pugixml.hpp>

#include "office/excel/cell_area.h"
#include "office/excel/sheet_formulas.h"
#include "office/excel/sheet_tables.h"
#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {

// The cells of one parsed worksheet part. The rows are indexed when the
// Sheet is made and a row's cells when first needed, so that finding a cell
// never scans the sheet and the part is never copied. Cells are added in
// sorted position; everything the Sheet does not mean to change (row spans
// and styles, unknown elements and attributes, extLst) stays as it was.
//
// The part is borrowed: it must outlive the Sheet and change only through it
// while the Sheet is used.
class Sheet {
 public:
  // `sheet_id` is the sheet's id in the workbook, by which the calculation
  // chain names its cells.
  Sheet(pugi::xml_document& part, uint32_t sheet_id);

  uint32_t sheet_id() const { return sheet_id_; }

  // The cell element at `cell`, or a null node when the sheet has none.
  pugi::xml_node FindCell(CellRef cell);
  // The cell element at `cell`, added (with its row when missing) in sorted
  // position when absent; a new cell takes its row's style when the row has
  // a custom format, else its column's. Grows the sheet's dimension.
  pugi::xml_node FindOrAddCell(CellRef cell);
  // The style (cell format index) of a cell, or of the row or column a
  // missing cell would take it from.
  uint32_t StyleOf(CellRef cell);

  // Calls visit for every cell element, in row and column order.
  void ForEachCell(const std::function<void(CellRef, pugi::xml_node)>& visit);

  // True when the sheet is protected (sheetProtection/@sheet true).
  bool is_protected() const { return protected_; }
  // The merged area holding `cell`, if any.
  std::optional<CellArea> MergedAreaOf(CellRef cell) const;

  // The sheet's array, spill, data-table and shared formulas, gathered on
  // first use; Forget drops them after formulas were removed.
  const SheetFormulas& formulas();
  void ForgetFormulas() { formulas_.reset(); }

  // The sheet's tables; the caller adds the sheet's table parts.
  SheetTables& tables() { return tables_; }
  const SheetTables& tables() const { return tables_; }

 private:
  struct CellSlot {
    int32_t column;
    pugi::xml_node node;
  };
  struct RowSlot {
    pugi::xml_node node;
    std::vector<CellSlot> cells;
    bool indexed = false;
    bool implicit_columns = false;
  };
  struct ColumnStyle {
    int32_t first;
    int32_t last;
    uint32_t style;
  };

  void IndexRows();
  void IndexCells(int32_t row, RowSlot* slot);
  RowSlot* FindRow(int32_t row);
  RowSlot& FindOrAddRow(int32_t row);
  uint32_t DefaultStyle(CellRef cell, const RowSlot* row) const;
  void GrowSpans(pugi::xml_node row, int32_t column);
  void GrowDimension(CellRef cell);
  void NameImplicitRows();
  bool AllCellsNamed(pugi::xml_node row) const;

  pugi::xml_node worksheet_;
  pugi::xml_node sheet_data_;
  uint32_t sheet_id_;
  bool protected_ = false;
  bool implicit_rows_ = false;
  std::map<int32_t, RowSlot> rows_;
  // The row found last, as one write looks its cell up several times; rows
  // are never removed, so the slot stays where it is.
  int32_t last_row_ = 0;
  RowSlot* last_slot_ = nullptr;
  std::vector<ColumnStyle> column_styles_;
  std::vector<CellArea> merged_;
  std::unique_ptr<SheetFormulas> formulas_;
  SheetTables tables_;
};

}  // namespace ovc::excel
