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
  // The block from the first to the last row and column holding a cell
  // element (values, formulas, formatted blanks); A1 on a sheet without
  // cells. STG_E_DOCFILECORRUPT when the sheet cannot be parsed.
  HRESULT get_UsedRange(IDispatch** range) override;

  std::string Disconnected() const override { return workbook_->Disconnected(); }

 private:
  ComPtr<Workbook> workbook_;
  const int32_t sheet_;
};

// The sheets of an open workbook, in workbook order.
class Worksheets final : public ExcelObject<IWorksheets> {
 public:
  explicit Worksheets(ComPtr<Workbook> workbook) : workbook_(std::move(workbook)) {}

  HRESULT get_Count(int32_t* count) override;
  // By 1-based position or by name (without regard to case);
  // DISP_E_BADINDEX when absent.
  HRESULT Item(const Variant& index, IDispatch** sheet) override;

  std::string Disconnected() const override { return workbook_->Disconnected(); }

 private:
  ComPtr<Workbook> workbook_;
};

}  // namespace ovc::excel
