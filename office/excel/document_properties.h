#pragma once

#include <string>

#include "automation/com_ptr.h"
#include "office/excel/excel.h"
#include "office/excel/excel_object.h"
#include "office/excel/workbook.h"

namespace ovc::excel {

// The built-in document properties of a workbook (Title, Subject, Author,
// Keywords, Comments, Category, Last Author, Last Save Time, Creation Date).
class DocumentProperties final : public ExcelObject<IDocumentProperties> {
 public:
  explicit DocumentProperties(ComPtr<Workbook> workbook);

  HRESULT get_Count(int32_t* count) override;
  // By name, without regard to case, or by 1-based position.
  // DISP_E_BADINDEX for any other.
  HRESULT get_Item(const Variant& index, IDispatch** property) override;

  std::string Disconnected() const override { return workbook_->Disconnected(); }

 private:
  ComPtr<Workbook> workbook_;
};

// One built-in document property: VT_BSTR or VT_DATE, VT_EMPTY when the file
// does not hold it. A put of text changes the workbook (Saved false); the
// three that record saves are read-only (E_ACCESSDENIED).
class DocumentProperty final : public ExcelObject<IDocumentProperty> {
 public:
  DocumentProperty(ComPtr<Workbook> workbook, std::wstring name);

  HRESULT get_Name(std::wstring* name) override;
  HRESULT get_Value(Variant* value) override;
  HRESULT put_Value(const Variant& value) override;

  std::string Disconnected() const override { return workbook_->Disconnected(); }

 private:
  ComPtr<Workbook> workbook_;
  const std::wstring name_;
};

}  // namespace ovc::excel
