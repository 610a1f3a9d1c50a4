#pragma once

#include "automation/com_ptr.h"
#include "office/excel/excel.h"
#include "office/excel/excel_object.h"
#include "office/excel/workbook.h"

namespace ovc::excel {

// The defined names of an open workbook, in file order: hidden, sheet-level
// and built-in ones included.
class Names final : public ExcelObject<INames> {
 public:
  explicit Names(ComPtr<Workbook> workbook);

  HRESULT get_Count(int32_t* count) override;
  // By 1-based position, or by name ("Rate" workbook level first, then the
  // active sheet's; "Sheet1!Rate" that sheet's). DISP_E_BADINDEX when absent.
  HRESULT Item(const Variant& index, IDispatch** name) override;
  // Creates a workbook-level name or replaces what the one of that name
  // refers to. The arguments not supported are refused when given.
  HRESULT Add(const std::wstring& name, const Variant& refers_to, const Variant& visible,
              const Variant& macro_type, const Variant& shortcut_key, const Variant& category,
              const Variant& name_local, const Variant& refers_to_local,
              const Variant& category_local, const Variant& refers_to_r1c1,
              const Variant& refers_to_r1c1_local, IDispatch** added) override;

  std::string Disconnected() const override { return workbook_->Disconnected(); }

 private:
  ComPtr<Workbook> workbook_;
};

// One defined name. Calls after its Delete fail with DISP_E_BADINDEX.
class Name final : public ExcelObject<IName> {
 public:
  Name(ComPtr<Workbook> workbook, NameId id);

  // "Rate" at workbook level; "Sheet1!Rate" at sheet level; built-ins
  // without "_xlnm.".
  HRESULT get_Name(std::wstring* name) override;
  HRESULT get_RefersTo(std::wstring* refers_to) override;
  HRESULT Delete() override;

  std::string Disconnected() const override { return workbook_->Disconnected(); }

 private:
  // The name, or DISP_E_BADINDEX once it was deleted.
  HRESULT Lookup(DefinedName* name);

  ComPtr<Workbook> workbook_;
  const NameId id_;
};

}  // namespace ovc::excel
