#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "office/common/document_properties.h"
#include "office/common/open_document.h"
#include "office/excel/application_state.h"
#include "office/excel/excel.h"
#include "office/excel/excel_object.h"
#include "office/excel/workbook_calculation.h"
#include "office/excel/workbook_document.h"

namespace ovc::excel {

using office::CloseChoice;

// One open workbook, the same object for as long as it is open (Open of its
// path again and ActiveWorkbook hand out this very object). Once closed,
// every call on it and on everything taken from it fails with
// RPC_E_DISCONNECTED ("<file>: has been closed").
class Workbook final : public office::OpenDocument<ExcelObject<IWorkbook>, WorkbookDocument>,
                       public office::PropertiesHost {
 public:
  Workbook(std::shared_ptr<ApplicationState> application,
           std::unique_ptr<WorkbookDocument> document);

  // Refused when another file open in the application has the file's name
  // or the file is open in this process.
  HRESULT SaveAs(const std::wstring& file_name) override;
  HRESULT get_Names(IDispatch** names) override;
  HRESULT get_Worksheets(IDispatch** sheets) override;
  HRESULT get_BuiltinDocumentProperties(IDispatch** properties) override;
  HRESULT get_KeepChangeHistory(VARIANT_BOOL* keep) override;
  HRESULT put_KeepChangeHistory(VARIANT_BOOL keep) override;
  HRESULT Close(const Variant& save_changes, const Variant& file_name,
                const Variant& route_workbook) override;

  // Fires WorkbookBeforeClose; unless a sink cancels it (*cancelled true,
  // S_OK), saves or discards as `choice` says and closes. A failed save
  // leaves the workbook open and returns the failure, the error object naming
  // the file. Ending a closed workbook does nothing.
  HRESULT End(CloseChoice choice, bool* cancelled);
  // Closes without event and without saving; lost changes are traced with
  // `why`.
  void Discard(const std::string& why);

  const std::string& file_name() const override { return file_name_; }
  // The open document, or null once closed.
  WorkbookDocument* document() const { return file(); }
  // Records that the defined name `name` was added, redefined or deleted:
  // Saved turns false, the workbook part is written by the next save and
  // the formulas using the name are stale.
  void NoteNameChanged(std::string_view name);
  // Evaluates the stale formulas and those a write reached (see
  // WorkbookCalculation); `now` is the local date and time as a serial
  // number. Nothing once closed.
  void Calculate(double now);
  // Records a cell write: Saved turns false, and in automatic calculation
  // mode the formulas the write reached are evaluated.
  void NoteCellsWritten();
  // The document properties of the open workbook.
  office::CoreProperties& core_properties() override { return file()->properties(); }
  // Records a change of the document properties: Saved turns false and the
  // core properties part is written by the next save.
  void NotePropertiesChanged() override;

  // The sheet that unqualified names fall back to and Goto selects, 0-based.
  int32_t active_sheet() const { return active_sheet_; }
  void set_active_sheet(int32_t sheet) { active_sheet_ = sheet; }

  std::string Disconnected() const override;

 private:
  std::shared_ptr<ApplicationState> application_;
  bool keep_change_history_;
  int32_t active_sheet_;
  // Made at the first calculation, dropped with the document.
  std::unique_ptr<WorkbookCalculation> calculation_;
};

}  // namespace ovc::excel
