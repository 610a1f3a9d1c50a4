#include "office/excel/worksheet.h"

#include "automation/text.h"

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

}  // namespace ovc::excel
