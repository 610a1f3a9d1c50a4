#pragma once

#include "automation/com_ptr.h"
#include "office/excel/cell_reference.h"
#include "office/excel/excel.h"
#include "office/excel/excel_object.h"
#include "office/excel/workbook.h"

namespace ovc::excel {

// What Count counts: the cells, or the rows or columns (Range.Rows,
// Range.Columns give the same cells counted so).
enum class RangeCounting { kCells, kRows, kColumns };

// A block of cells on one sheet of an open workbook.
class Range final : public ExcelObject<IRange> {
 public:
  Range(ComPtr<Workbook> workbook, int32_t sheet, CellArea area,
        RangeCounting counting = RangeCounting::kCells);

  HRESULT get_Rows(IDispatch** rows) override;
  HRESULT get_Columns(IDispatch** columns) override;
  HRESULT get_Count(int32_t* count) override;
  HRESULT get_Value(const Variant& data_type, Variant* value) override;
  HRESULT put_Value(const Variant& data_type, const Variant& value) override;
  HRESULT get_Locked(Variant* locked) override;
  // The block of RowSize x ColumnSize cells at this one's top-left cell;
  // a missing size keeps this one's. E_INVALIDARG below 1 or past the sheet.
  HRESULT get_Resize(const Variant& row_size, const Variant& column_size,
                     IDispatch** range) override;
  // "$C$10:$C$14"; External true prefixes "[Book.xlsx]Sheet1!"; RelativeTo is
  // accepted and ignored.
  HRESULT get_Address(const Variant& row_absolute, const Variant& column_absolute,
                      const Variant& reference_style, const Variant& external,
                      const Variant& relative_to, std::wstring* address) override;

  // Each cell's formula ("=" and its text) or, without one, its value; one
  // cell as itself, more as a 1-based array (CellStore::GetFormula).
  HRESULT get_Formula(Variant* formula) override;
  // The sheet the range is on.
  HRESULT get_Worksheet(IDispatch** sheet) override;

  std::string Disconnected() const override { return workbook_->Disconnected(); }

  Workbook* workbook() const { return workbook_.get(); }
  int32_t sheet() const { return sheet_; }
  const CellArea& area() const { return area_; }

 private:
  // "Sheet1!C10:C14", naming cells in messages.
  std::string Where(const CellArea& area) const;
  // The parsed sheet of the range; E_NOTIMPL when a RangeValueDataType is
  // given, STG_E_DOCFILECORRUPT when the sheet cannot be parsed.
  HRESULT OpenSheet(const Variant& data_type, Sheet** sheet);

  ComPtr<Workbook> workbook_;
  const int32_t sheet_;
  const CellArea area_;
  const RangeCounting counting_;
};

}  // namespace ovc::excel
