#pragma once

#include <string>

#include "automation/com_ptr.h"
#include "office/excel/excel.h"
#include "office/excel/excel_object.h"
#include "office/excel/workbook.h"

namespace ovc::excel {

// One sheet of an open workbook, as Range.Worksheet gives it.
class Worksheet final : public ExcelObject<IWorksheet> {
 public:
  Worksheet(ComPtr<Workbook> workbook, int32_t sheet)
      : workbook_(std::move(workbook)), sheet_(sheet) {}

  HRESULT get_Name(std::wstring* name) override;
  // True when the sheet's cells are protected (sheetProtection/@sheet);
  // STG_E_DOCFILECORRUPT when the sheet cannot be parsed.
  HRESULT get_ProtectContents(VARIANT_BOOL* protect) override;

  std::string Disconnected() const override { return workbook_->Disconnected(); }

 private:
  ComPtr<Workbook> workbook_;
  const int32_t sheet_;
};

}  // namespace ovc::excel
