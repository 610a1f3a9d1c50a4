#include "office/excel/calc_settings.h"

#include <string_view>

namespace ovc::excel {

namespace {

int32_t ModeOf(std::string_view text) {
  if (text == "manual") return kCalculationManual;
  if (text == "autoNoTable") return kCalculationSemiautomatic;
  return kCalculationAutomatic;
}

}  // namespace

CalcSettings::CalcSettings(pugi::xml_document& workbook)
    : workbook_(workbook.document_element()), names_(workbook_, kSpreadsheetNamespace) {
  if (BooleanAttribute(names_.Child(workbook_, "workbookPr").attribute("date1904"))) {
    date_system_ = DateSystem::k1904;
  }
  const pugi::xml_node calc = names_.Child(workbook_, "calcPr");
  full_calc_on_load_ = BooleanAttribute(calc.attribute("fullCalcOnLoad"));
  calculation_mode_ = ModeOf(calc.attribute("calcMode").value());
}

bool CalcSettings::RequestFullCalcOnLoad() {
  pugi::xml_node calc = names_.Child(workbook_, "calcPr");
  if (BooleanAttribute(calc.attribute("fullCalcOnLoad"))) return false;
  if (!calc) {
    calc = names_.InsertInOrder(
        workbook_, "calcPr",
        {"fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets",
         "functionGroups", "externalReferences", "definedNames", "calcPr"});
  }
  pugi::xml_attribute full = calc.attribute("fullCalcOnLoad");
  (full ? full : calc.append_attribute("fullCalcOnLoad")).set_value("1");
  return true;
}

}  // namespace ovc::excel
