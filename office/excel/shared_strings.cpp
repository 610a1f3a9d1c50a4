#include "office/excel/shared_strings.h"

#include "office/excel/cell_text.h"
#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {

SharedStrings::SharedStrings(const pugi::xml_document* part) {
  for (pugi::xml_node item : office::DocumentRoot(part).children()) {
    if (IsSpreadsheetElement(item, "si")) items_.push_back(item);
  }
}

bool SharedStrings::Text(uint32_t index, std::string* text) const {
  if (index >= items_.size()) return false;
  *text = StringItemText(items_[index]);
  return true;
}

}  // namespace ovc::excel
