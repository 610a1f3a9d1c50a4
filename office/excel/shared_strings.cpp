#include "office/excel/shared_strings.h"

#include "office/excel/cell_text.h"

namespace ovc::excel {

SharedStrings::SharedStrings(const pugi::xml_document* part)
    : names_(DocumentRoot(part), kSpreadsheetNamespace) {
  for (pugi::xml_node item : DocumentRoot(part).children()) {
    if (names_.Is(item, "si")) items_.push_back(item);
  }
}

bool SharedStrings::Text(uint32_t index, std::string* text) const {
  if (index >= items_.size()) return false;
  *text = StringItemText(items_[index], names_);
  return true;
}

}  // namespace ovc::excel
