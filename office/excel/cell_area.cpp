#include "office/excel/cell_area.h"

namespace ovc::excel {

bool Contains(const CellArea& area, CellRef cell) {
  return cell.row >= area.first.row && cell.row <= area.last.row &&
         cell.column >= area.first.column && cell.column <= area.last.column;
}

}  // namespace ovc::excel
