// The Excel adapter's reads and writes of cell values.
#include <string>
#include <utility>
#include <vector>

#include "automation/safe_array.h"
#include "ovcbridgesvcs/apps/excel_app.h"
#include "ovcbridgesvcs/apps/excel_members.h"
#include "ovcbridgesvcs/apps/excel_report.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {

using namespace excel;  // NOLINT: the member tables

namespace {

constexpr wchar_t kVectorFailed[] = L"Excel Error - SetVectorValue failed at location:  ";

bool IsTrue(const Variant& value) {
  return value.vt() == VT_BOOL && value.boolVal() != VARIANT_FALSE;
}

// A text as Excel must keep it: as text, never read as a number or a
// formula.
Variant AsCellValue(const Variant& value) {
  if (value.vt() == VT_BSTR) return Variant(L"'" + value.bstr());
  return value;
}

// `value` with every text, also those inside an array, made a cell text.
Variant WithTextsKept(const Variant& value) {
  const Variant plain = value.Dereferenced();
  if (!plain.IsArray()) return AsCellValue(plain);
  SafeArray array(VT_VARIANT, plain.array().bounds());
  const std::span<const Variant> elements = plain.array().data();
  for (size_t i = 0; i < elements.size(); ++i) array.data()[i] = AsCellValue(elements[i]);
  return Variant(std::move(array));
}

int32_t CountOf(IDispatch* target, LateMember& counted, LateMember& count) {
  ComPtr<IDispatch> object;
  Variant answer;
  if (Failed(GetObject(target, counted, &object)) || Failed(Get(object.get(), count, &answer)) ||
      answer.vt() != VT_I4) {
    return -1;
  }
  return answer.i4();
}

}  // namespace

HRESULT CExcelApp::RangeStats(IDispatch* target, int32_t* rows, int32_t* columns) {
  *rows = CountOf(target, range.rows, range.rows_count);
  *columns = CountOf(target, range.columns, range.columns_count);
  return *rows < 0 || *columns < 0 ? E_FAIL : S_OK;
}

HRESULT CExcelApp::GetValue(const std::wstring& location, Variant* value) {
  CMethodFrame frame(L"CExcelApp::GetValue");
  return RunMethod(frame, [&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    value->Clear();
    if (const HRESULT status = GetRange(location); Failed(status)) return status;
    int32_t rows = 0, columns = 0;
    if (const HRESULT status = RangeStats(current_range_.get(), &rows, &columns); Failed(status)) {
      return status;
    }
    Variant block;
    if (const HRESULT status = Get(current_range_.get(), range.value, &block); Failed(status)) {
      return status;
    }
    if (rows * columns == 1 || !block.IsArray()) {
      *value = std::move(block);
      return S_OK;
    }
    const std::span<const Variant> cells = block.array().data();
    *value = Variant(SafeArray::FromValues(std::vector<Variant>(cells.begin(), cells.end())));
    return S_OK;
  });
}

HRESULT CExcelApp::SetValue(const std::wstring& location, const Variant& value) {
  CMethodFrame frame(L"CExcelApp::SetValue");
  return RunMethod(frame, [&]() -> HRESULT {
    if (Failed(DisplayLocation(location))) return E_FAIL;
    return SetValueAtSelection(value);
  });
}

HRESULT CExcelApp::SetVectorValue(const std::wstring& location, const Variant& values,
                                  VARIANT_BOOL column) {
  CMethodFrame frame(L"CExcelApp::SetVectorValue");
  return RunMethod(frame, [&]() -> HRESULT {
    if (Failed(DisplayLocation(location))) return E_FAIL;
    return SetVectorValueAtSelection(values, column);
  });
}

HRESULT CExcelApp::SetValueAtSelection(const Variant& value) {
  CMethodFrame frame(L"CExcelApp::SetValueAtSelection");
  return RunMethod(frame, [&]() -> HRESULT {
    if (!current_range_) return E_FAIL;
    const HRESULT status = Put(current_range_.get(), range.value, WithTextsKept(value));
    if (Failed(status)) return WriteFailed(current_range_.get(), LoadMessage(msg::kSetValueFailed));
    return status;
  });
}

HRESULT CExcelApp::SetVectorValueAtSelection(const Variant& given, VARIANT_BOOL column) {
  CMethodFrame frame(L"CExcelApp::SetVectorValueAtSelection");
  return RunMethod(frame, [&]() -> HRESULT {
    const Variant values = given.Dereferenced();
    if (values.vt() != (VT_ARRAY | VT_VARIANT)) {
      return ReportExcelText(L"The vector must contain Variants.");
    }
    if (!current_range_) return S_OK;
    const uint32_t count = values.array().bounds()[0].count;
    if (count == 0) {  // nothing to write: what the location held is stale
      if (Failed(Put(current_range_.get(), range.value, Variant()))) {
        return WriteFailed(current_range_.get(), kVectorFailed);
      }
      return S_OK;
    }
    const bool as_column = column != VARIANT_FALSE;
    const int32_t rows = as_column ? static_cast<int32_t>(count) : 1;
    const int32_t columns = as_column ? 1 : static_cast<int32_t>(count);
    SafeArray block(VT_VARIANT,
                    {{0, static_cast<uint32_t>(rows)}, {0, static_cast<uint32_t>(columns)}});
    for (uint32_t i = 0; i < count; ++i) block.data()[i] = AsCellValue(values.array().data()[i]);
    ComPtr<IDispatch> target;
    if (const HRESULT status = GetObject(current_range_.get(), range.resize, &target,
                                         {Variant::I4(rows), Variant::I4(columns)});
        Failed(status)) {
      return status;
    }
    if (Failed(Put(target.get(), range.value, Variant(std::move(block))))) {
      return WriteFailed(target.get(), kVectorFailed);
    }
    if (Failed(AddLocation(target.get(), current_location_))) {
      return ReportExcel(msg::kSetVectorFailed, current_location_);
    }
    return S_OK;
  });
}

// Reports a failed write into `target`: "locked" when the cells are locked
// on a protected sheet, else the application's own description, else
// `fallback` followed by the location.
HRESULT CExcelApp::WriteFailed(IDispatch* target, std::wstring_view fallback) {
  const std::wstring reason = TakeErrorDescription();
  ComPtr<IDispatch> sheet;
  Variant locked, protected_sheet;
  if (Succeeded(Get(target, range.locked, &locked)) && IsTrue(locked) &&
      Succeeded(GetObject(target, range.worksheet, &sheet)) &&
      Succeeded(Get(sheet.get(), range.protect_contents, &protected_sheet)) &&
      IsTrue(protected_sheet)) {
    return ReportExcelText(L"The application location \"" + current_location_ + L"\" is locked");
  }
  if (!reason.empty()) return ReportExcelText(reason);
  return ReportExcelText(std::wstring(fallback) + current_location_);
}

}  // namespace ovc::apps
