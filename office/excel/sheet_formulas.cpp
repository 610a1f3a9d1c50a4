#include "office/excel/sheet_formulas.h"

#include <optional>
#include <string_view>

#include "office/excel/area_reference.h"
#include "office/excel/cell_area.h"
#include "office/excel/spreadsheet_xml.h"
#include "office/package/xml_names.h"

namespace ovc::excel {

void SheetFormulas::Add(CellRef cell, pugi::xml_node c) {
  const pugi::xml_node f = SpreadsheetChild(c, "f");
  if (!f) return;
  const std::string_view type = f.attribute("t").value();
  if (type == "shared") {
    const std::optional<uint32_t> si = office::IntegerAttribute<uint32_t>(f.attribute("si"));
    if (!si) return;
    SharedFormula& group = shared_[*si];
    if (f.attribute("ref") && !group.formula) {
      group.master = cell;
      group.formula = f;
    } else {
      group.members.push_back(cell);
    }
    return;
  }
  CellArea area;
  if ((type != "array" && type != "dataTable") ||
      !ParseAreaReference(f.attribute("ref").value(), &area) || area.first == area.last) {
    return;
  }
  FormulaBlock::Kind kind = FormulaBlock::Kind::kDataTable;
  if (type == "array")
    kind = c.attribute("cm") ? FormulaBlock::Kind::kSpill : FormulaBlock::Kind::kArray;
  blocks_.push_back({kind, area, f});
}

const FormulaBlock* SheetFormulas::BlockOf(CellRef cell) const {
  for (const FormulaBlock& block : blocks_) {
    if (Contains(block.area, cell)) return &block;
  }
  return nullptr;
}

const SharedFormula* SheetFormulas::Shared(pugi::xml_node f) const {
  const std::optional<uint32_t> si = office::IntegerAttribute<uint32_t>(f.attribute("si"));
  if (!si) return nullptr;
  const auto found = shared_.find(*si);
  return found == shared_.end() || !found->second.formula ? nullptr : &found->second;
}

}  // namespace ovc::excel
