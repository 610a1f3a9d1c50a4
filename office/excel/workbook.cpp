#include "office/excel/workbook.h"

#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"
#include "office/common/document_properties.h"
#include "office/common/open_files.h"
#include "office/excel/names.h"
#include "office/excel/worksheet.h"

namespace ovc::excel {

Workbook::Workbook(std::shared_ptr<ApplicationState> application,
                   std::unique_ptr<WorkbookDocument> document)
    : OpenDocument(std::move(document), &application->services),
      application_(std::move(application)),
      keep_change_history_(file()->is_shared()),
      active_sheet_(file()->active_sheet()) {}

std::string Workbook::Disconnected() const { return Closed(); }

HRESULT Workbook::SaveAs(const std::wstring& file_name) {
  const std::string path = ToUtf8(file_name);
  return SaveFileAs(path, office::OpenFileNamedAs(application_->workbooks, this, path));
}

HRESULT Workbook::get_Names(IDispatch** names) {
  *names = MakeObject<Names>(ComPtr<Workbook>(this)).Detach();
  return S_OK;
}

HRESULT Workbook::get_Worksheets(IDispatch** sheets) {
  *sheets = MakeObject<Worksheets>(ComPtr<Workbook>(this)).Detach();
  return S_OK;
}

void Workbook::NoteNameChanged(std::string_view name) {
  MarkChanged();
  file()->NoteNameChanged(name);
}

void Workbook::Calculate(double now) {
  if (!file()) return;
  if (!calculation_) calculation_ = std::make_unique<WorkbookCalculation>(*file());
  calculation_->Run(now);
}

void Workbook::NoteCellsWritten() {
  MarkChanged();
  if (application_->calculation.value_or(kCalculationAutomatic) != kCalculationManual) {
    Calculate(LocalNowSerial());
  }
}

void Workbook::NotePropertiesChanged() {
  file()->NotePropertiesChanged();
  MarkChanged();
}

HRESULT Workbook::get_BuiltinDocumentProperties(IDispatch** properties) {
  *properties = MakeObject<office::DocumentProperties>(
                    kErrorSource, ComPtr<IDispatch>(static_cast<IWorkbook*>(this)), this)
                    .Detach();
  return S_OK;
}

HRESULT Workbook::get_KeepChangeHistory(VARIANT_BOOL* keep) {
  *keep = keep_change_history_ ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Workbook::put_KeepChangeHistory(VARIANT_BOOL keep) {
  const bool value = keep != VARIANT_FALSE;
  if (value != keep_change_history_) MarkChanged();
  keep_change_history_ = value;
  return S_OK;
}

HRESULT Workbook::Close(const Variant& save_changes, const Variant& file_name,
                        const Variant& route_workbook) {
  if (!file_name.IsMissing() || !route_workbook.IsMissing()) {
    return Fail(E_NOTIMPL,
                Describe(file_name_, "Close", "Filename and RouteWorkbook are not supported"));
  }
  CloseChoice choice = CloseChoice::kAsk;
  if (!save_changes.IsMissing()) {
    Variant save;
    if (Failed(VariantChangeType(&save, save_changes.Dereferenced(), 0, VT_BOOL))) {
      return Fail(DISP_E_TYPEMISMATCH,
                  Describe(file_name_, "Close", "SaveChanges is not a boolean"));
    }
    choice = save.boolVal() != VARIANT_FALSE ? CloseChoice::kSave : CloseChoice::kDiscard;
  }
  bool cancelled = false;
  return End(choice, &cancelled);
}

HRESULT Workbook::End(CloseChoice choice, bool* cancelled) {
  *cancelled = false;
  if (!file()) return S_OK;
  ComPtr<Workbook> keep_alive(this);
  if (application_->BeforeClose(this)) {
    *cancelled = true;
    application_->Trace(file_name_ + ": close cancelled by an event sink");
    return S_OK;
  }
  if (!file()) return S_OK;  // a sink closed it meanwhile
  choice = Decide(choice);
  if (choice == CloseChoice::kSave) {
    if (HRESULT hr = SaveFile(); Failed(hr)) return hr;
  }
  Discard(choice == CloseChoice::kDiscard ? "closed without saving" : "");
  return S_OK;
}

void Workbook::Discard(const std::string& why) {
  if (!file()) return;
  ComPtr<Workbook> keep_alive(this);
  calculation_.reset();
  CloseFile(why);
  application_->Forget(this);
}

}  // namespace ovc::excel
