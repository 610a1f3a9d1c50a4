#include "office/excel/range.h"

#include <optional>
#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"
#include "office/excel/area_reference.h"
#include "office/excel/range_address.h"
#include "office/excel/worksheet.h"

namespace ovc::excel {
namespace {

// The optional argument converted to `vt`, or `fallback` when missing; false
// when it cannot be converted.
bool ArgumentOr(const Variant& argument, VARTYPE vt, Variant fallback, Variant* value) {
  if (argument.IsMissing()) {
    *value = std::move(fallback);
    return true;
  }
  return Succeeded(VariantChangeType(value, argument.Dereferenced(), 0, vt));
}

}  // namespace

Range::Range(ComPtr<Workbook> workbook, int32_t sheet, CellArea area, RangeCounting counting)
    : workbook_(std::move(workbook)), sheet_(sheet), area_(area), counting_(counting) {}

std::string Range::Where(const CellArea& area) const {
  const std::string& sheet = workbook_->document()->names().sheet_names()[sheet_];
  return RangeAddress("", sheet, area, AddressStyle{false, false, false}, true);
}

HRESULT Range::get_Rows(IDispatch** rows) {
  *rows = MakeObject<Range>(workbook_, sheet_, area_, RangeCounting::kRows).Detach();
  return S_OK;
}

HRESULT Range::get_Worksheet(IDispatch** sheet) {
  *sheet = MakeObject<Worksheet>(workbook_, sheet_).Detach();
  return S_OK;
}

HRESULT Range::get_Columns(IDispatch** columns) {
  *columns = MakeObject<Range>(workbook_, sheet_, area_, RangeCounting::kColumns).Detach();
  return S_OK;
}

HRESULT Range::get_Count(int32_t* count) {
  const int64_t counted = counting_ == RangeCounting::kRows      ? AreaRows(area_)
                          : counting_ == RangeCounting::kColumns ? AreaColumns(area_)
                                                                 : AreaCells(area_);
  if (counted > INT32_MAX) {
    return Fail(DISP_E_OVERFLOW,
                Describe(workbook_->file_name(), Where(area_),
                         std::to_string(counted) + " cells are too many to count in a long"));
  }
  *count = static_cast<int32_t>(counted);
  return S_OK;
}

HRESULT Range::get_Resize(const Variant& row_size, const Variant& column_size, IDispatch** range) {
  std::optional<int32_t> sizes[2];
  const Variant* given[] = {&row_size, &column_size};
  for (int i = 0; i < 2; ++i) {
    if (given[i]->IsMissing()) continue;
    Variant size;
    if (Failed(VariantChangeType(&size, given[i]->Dereferenced(), 0, VT_I4))) {
      return Fail(DISP_E_TYPEMISMATCH,
                  Describe(workbook_->file_name(), Where(area_), "Resize: a size is not a number"));
    }
    sizes[i] = size.i4();
  }
  CellArea resized;
  std::string reason;
  HRESULT code = S_OK;
  if (!ResizeArea(area_, sizes[0], sizes[1], &resized, &reason, &code)) {
    return Fail(code, Describe(workbook_->file_name(), Where(area_), reason));
  }
  *range = MakeObject<Range>(workbook_, sheet_, resized).Detach();
  return S_OK;
}

HRESULT Range::get_Address(const Variant& row_absolute, const Variant& column_absolute,
                           const Variant& reference_style, const Variant& external, const Variant&,
                           std::wstring* address) {
  Variant rows, columns, style, outside;
  if (!ArgumentOr(row_absolute, VT_BOOL, Variant::Bool(true), &rows) ||
      !ArgumentOr(column_absolute, VT_BOOL, Variant::Bool(true), &columns) ||
      !ArgumentOr(reference_style, VT_I4, Variant::I4(kReferenceStyleA1), &style) ||
      !ArgumentOr(external, VT_BOOL, Variant::Bool(false), &outside)) {
    return Fail(DISP_E_TYPEMISMATCH, Describe(workbook_->file_name(), Where(area_),
                                              "Address: an argument has the wrong type"));
  }
  AddressStyle written;
  std::string reason;
  HRESULT code = S_OK;
  if (!AddressStyleOf(rows.boolVal() != VARIANT_FALSE, columns.boolVal() != VARIANT_FALSE,
                      style.i4(), &written, &reason, &code)) {
    return Fail(code, Describe(workbook_->file_name(), Where(area_), reason));
  }
  const std::string& sheet = workbook_->document()->names().sheet_names()[sheet_];
  *address = FromUtf8(RangeAddress(workbook_->file_name(), sheet, area_, written,
                                   outside.boolVal() != VARIANT_FALSE));
  return S_OK;
}

HRESULT Range::OpenSheet(const Variant& data_type, Sheet** sheet) {
  if (!data_type.IsMissing()) {
    return Fail(E_NOTIMPL, Describe(workbook_->file_name(), Where(area_),
                                    "RangeValueDataType is not supported"));
  }
  std::string error;
  *sheet = workbook_->document()->SheetAt(sheet_, &error);
  return *sheet != nullptr ? S_OK : Fail(STG_E_DOCFILECORRUPT, error);
}

HRESULT Range::get_Value(const Variant& data_type, Variant* value) {
  Sheet* sheet = nullptr;
  if (HRESULT hr = OpenSheet(data_type, &sheet); Failed(hr)) return hr;
  CellFailure failure;
  const HRESULT hr = workbook_->document()->cells().GetValue(*sheet, area_, value, &failure);
  if (Failed(hr))
    return Fail(hr, Describe(workbook_->file_name(), Where(failure.where), failure.reason));
  return S_OK;
}

HRESULT Range::get_Formula(Variant* formula) {
  Sheet* sheet = nullptr;
  if (HRESULT hr = OpenSheet(Variant::Missing(), &sheet); Failed(hr)) return hr;
  CellFailure failure;
  const HRESULT hr = workbook_->document()->cells().GetFormula(*sheet, area_, formula, &failure);
  if (Failed(hr))
    return Fail(hr, Describe(workbook_->file_name(), Where(failure.where), failure.reason));
  return S_OK;
}

HRESULT Range::put_Value(const Variant& data_type, const Variant& value) {
  Sheet* sheet = nullptr;
  if (HRESULT hr = OpenSheet(data_type, &sheet); Failed(hr)) return hr;
  CellFailure failure;
  WorkbookDocument* document = workbook_->document();
  const HRESULT hr = document->cells().PutValue(*sheet, area_, value.Dereferenced(), &failure);
  if (Failed(hr))
    return Fail(hr, Describe(workbook_->file_name(), Where(failure.where), failure.reason));
  document->NoteCellsWritten(sheet_);
  workbook_->NoteCellsWritten();
  return S_OK;
}

HRESULT Range::get_Locked(Variant* locked) {
  Sheet* sheet = nullptr;
  if (HRESULT hr = OpenSheet(Variant::Missing(), &sheet); Failed(hr)) return hr;
  *locked = workbook_->document()->cells().GetLocked(*sheet, area_);
  return S_OK;
}

}  // namespace ovc::excel
