#include "office/excel/cell_area.h"

#include <algorithm>

namespace ovc::excel {

bool ParseA1Area(std::string_view text, CellArea* area) {
  const size_t colon = text.find(':');
  CellRef first;
  CellRef last;
  if (!ParseA1Cell(text.substr(0, colon), &first)) return false;
  if (colon == std::string_view::npos) {
    last = first;
  } else if (!ParseA1Cell(text.substr(colon + 1), &last)) {
    return false;
  }
  area->first = {std::min(first.row, last.row), std::min(first.column, last.column)};
  area->last = {std::max(first.row, last.row), std::max(first.column, last.column)};
  return true;
}

std::string FormatA1Area(const CellArea& area) {
  if (area.first == area.last) return FormatA1Cell(area.first);
  return FormatA1Cell(area.first) + ":" + FormatA1Cell(area.last);
}

bool Contains(const CellArea& area, CellRef cell) {
  return cell.row >= area.first.row && cell.row <= area.last.row &&
         cell.column >= area.first.column && cell.column <= area.last.column;
}

}  // namespace ovc::excel
