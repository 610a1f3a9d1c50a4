#pragma once

#include <cstdint>

#include <pugixml.hpp>

#include "office/excel/formula/serial_date.h"

namespace ovc::excel {

// Calculation modes as the automation interface reports them.
inline constexpr int32_t kCalculationAutomatic = -4105;
inline constexpr int32_t kCalculationManual = -4135;
inline constexpr int32_t kCalculationSemiautomatic = 2;

// What the workbook part says about dates and calculation: the date system
// (workbookPr/@date1904), whether the file asks for a full calculation on
// load and its calculation mode (calcPr). The part is borrowed and must
// outlive the object.
class CalcSettings {
 public:
  explicit CalcSettings(pugi::xml_document& workbook);

  formula::DateSystem date_system() const { return date_system_; }
  bool full_calc_on_load() const { return full_calc_on_load_; }
  // calcPr/@calcMode as a calculation mode; automatic when absent.
  int32_t calculation_mode() const { return calculation_mode_; }

  // Sets calcPr/@fullCalcOnLoad="1", adding calcPr where the schema puts it
  // when the part has none, so that spreadsheet programs recalculate on
  // open. True when the part changed.
  bool RequestFullCalcOnLoad();

 private:
  pugi::xml_node workbook_;
  formula::DateSystem date_system_ = formula::DateSystem::k1900;
  bool full_calc_on_load_ = false;
  int32_t calculation_mode_ = kCalculationAutomatic;
};

}  // namespace ovc::excel
