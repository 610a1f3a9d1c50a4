#include "office/excel/worksheet.h"

#include <algorithm>
#include <vector>

#include "automation/conversion.h"
#include "automation/text.h"
#include "office/excel/name_rules.h"
#include "office/excel/range.h"

namespace ovc::excel {

HRESULT Worksheet::get_Name(std::wstring* name) {
  *name = FromUtf8(workbook_->document()->names().sheet_names()[sheet_]);
  return S_OK;
}

HRESULT Worksheet::get_ProtectContents(VARIANT_BOOL* protect) {
  std::string error;
  const Sheet* sheet = workbook_->document()->SheetAt(sheet_, &error);
  if (sheet == nullptr) return Fail(STG_E_DOCFILECORRUPT, error);
  *protect = sheet->is_protected() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Worksheet::get_UsedRange(IDispatch** range) {
  std::string error;
  Sheet* sheet = workbook_->document()->SheetAt(sheet_, &error);
  if (sheet == nullptr) return Fail(STG_E_DOCFILECORRUPT, error);
  CellArea used{{1, 1}, {1, 1}};
  bool any = false;
  sheet->ForEachCell([&](CellRef cell, pugi::xml_node) {
    if (!any) used = {cell, cell};
    any = true;
    used.first = {std::min(used.first.row, cell.row), std::min(used.first.column, cell.column)};
    used.last = {std::max(used.last.row, cell.row), std::max(used.last.column, cell.column)};
  });
  *range = MakeObject<Range>(workbook_, sheet_, used).Detach();
  return S_OK;
}

HRESULT Worksheets::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(workbook_->document()->names().sheet_names().size());
  return S_OK;
}

HRESULT Worksheets::Item(const Variant& index, IDispatch** sheet) {
  const std::vector<std::string>& names = workbook_->document()->names().sheet_names();
  const Variant value = index.Dereferenced();
  int64_t position = -1;
  if (value.vt() == VT_BSTR) {
    const std::string key = NameKey(ToUtf8(value.bstr()));
    const auto found =
        std::ranges::find_if(names, [&](const std::string& name) { return NameKey(name) == key; });
    if (found != names.end()) position = found - names.begin();
  } else {
    Variant number;
    if (Failed(VariantChangeType(&number, value, 0, VT_I4))) {
      return Fail(DISP_E_TYPEMISMATCH, Describe(workbook_->file_name(), "Worksheets",
                                                "the index is neither a position nor a name"));
    }
    position = int64_t{number.i4()} - 1;
  }
  if (position < 0 || position >= static_cast<int64_t>(names.size())) {
    return Fail(DISP_E_BADINDEX, Describe(workbook_->file_name(), "Worksheets", "no such sheet"));
  }
  *sheet = MakeObject<Worksheet>(workbook_, static_cast<int32_t>(position)).Detach();
  return S_OK;
}

}  // namespace ovc::excel
