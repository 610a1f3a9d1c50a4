#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "office/common/document_properties.h"
#include "office/excel/application_state.h"
#include "office/excel/excel.h"
#include "office/excel/excel_object.h"
#include "office/excel/workbook_document.h"

namespace ovc::excel {

// How a closing workbook treats its changes.
enum class CloseChoice {
  kSave,
  kDiscard,
  // A clean workbook just closes, a read-only one is discarded (traced), any
  // other asks the prompt service (default: save).
  kAsk,
};

// One open workbook, the same object for as long as it is open (Open of its
// path again and ActiveWorkbook hand out this very object). Once closed,
// every call on it and on everything taken from it fails with
// RPC_E_DISCONNECTED ("<file>: has been closed").
class Workbook final : public ExcelObject<IWorkbook>, public office::PropertiesHost {
 public:
  Workbook(std::shared_ptr<ApplicationState> application,
           std::unique_ptr<WorkbookDocument> document);

  HRESULT get_Name(std::wstring* name) override;
  HRESULT get_FullName(std::wstring* path) override;
  HRESULT get_Saved(VARIANT_BOOL* saved) override;
  HRESULT put_Saved(VARIANT_BOOL saved) override;
  HRESULT get_ReadOnly(VARIANT_BOOL* read_only) override;
  HRESULT Save() override;
  HRESULT get_Names(IDispatch** names) override;
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
  WorkbookDocument* document() const { return document_.get(); }
  // Records a change: Saved turns false.
  void MarkChanged() { saved_ = false; }
  // Records that the defined name `name` was added, redefined or deleted:
  // Saved turns false, the workbook part is written by the next save and
  // the formulas using the name are stale.
  void NoteNameChanged(std::string_view name);
  // The document properties of the open workbook.
  office::CoreProperties& core_properties() override { return document_->properties(); }
  // Records a change of the document properties: Saved turns false and the
  // core properties part is written by the next save.
  void NotePropertiesChanged() override;

  // The sheet that unqualified names fall back to and Goto selects, 0-based.
  int32_t active_sheet() const { return active_sheet_; }
  void set_active_sheet(int32_t sheet) { active_sheet_ = sheet; }

  std::string Disconnected() const override;

 private:
  HRESULT SaveDocument();
  void Disconnect();

  std::shared_ptr<ApplicationState> application_;
  std::unique_ptr<WorkbookDocument> document_;
  const std::string file_name_;
  bool saved_ = true;
  bool keep_change_history_;
  int32_t active_sheet_;
};

}  // namespace ovc::excel
