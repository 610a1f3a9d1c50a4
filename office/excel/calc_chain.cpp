#include "office/excel/calc_chain.h"

#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {

CalcChain::CalcChain(pugi::xml_document* part) : chain_(office::DocumentRoot(part)) {
  uint32_t sheet = 0;
  for (pugi::xml_node entry : chain_.children()) {
    if (!IsSpreadsheetElement(entry, "c")) continue;
    if (pugi::xml_attribute i = entry.attribute("i")) {
      sheet = office::IntegerAttribute<uint32_t>(i).value_or(0);
    }
    CellRef cell;
    if (ParseA1Cell(entry.attribute("r").value(), &cell)) {
      entries_.try_emplace({sheet, cell.row, cell.column}, entry);
    }
  }
}

bool CalcChain::Remove(uint32_t sheet_id, CellRef cell) {
  const auto found = entries_.find({sheet_id, cell.row, cell.column});
  if (found == entries_.end()) return false;
  pugi::xml_node entry = found->second;
  pugi::xml_node next = entry.next_sibling();
  while (next && !IsSpreadsheetElement(next, "c")) next = next.next_sibling();
  if (next && entry.attribute("i") && !next.attribute("i")) {
    next.append_attribute("i") = entry.attribute("i").value();
  }
  chain_.remove_child(entry);
  entries_.erase(found);
  changed_ = true;
  return true;
}

}  // namespace ovc::excel
