#include "office/excel/calc_settings.h"

#include <string_view>

#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {

namespace {

int32_t ModeOf(std::string_view text) {
  if (text == "manual") return kCalculationManual;
  if (text == "autoNoTable") return kCalculationSemiautomatic;
  return kCalculationAutomatic;
}

}  // namespace

CalcSettings::CalcSettings(pugi::xml_document& workbook) : workbook_(workbook.document_element()) {
  if (office::BooleanAttribute(SpreadsheetChild(workbook_, "workbookPr").attribute("date1904"))) {
    date_system_ = formula::DateSystem::k1904;
  }
  const pugi::xml_node calc = SpreadsheetChild(workbook_, "calcPr");
  full_calc_on_load_ = office::BooleanAttribute(calc.attribute("fullCalcOnLoad"));
  calculation_mode_ = ModeOf(calc.attribute("calcMode").value());
}

bool CalcSettings::RequestFullCalcOnLoad() {
  pugi::xml_node calc = SpreadsheetChild(workbook_, "calcPr");
  if (office::BooleanAttribute(calc.attribute("fullCalcOnLoad"))) return false;
  if (!calc) {
    calc = office::InsertInOrder(
        workbook_, kSpreadsheetNamespace, "calcPr",
        {"fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets",
         "functionGroups", "externalReferences", "definedNames", "calcPr"});
    if (!calc) return false;
  }
  pugi::xml_attribute full = calc.attribute("fullCalcOnLoad");
  (full ? full : calc.append_attribute("fullCalcOnLoad")).set_value("1");
  return true;
}

}  // namespace ovc::excel
