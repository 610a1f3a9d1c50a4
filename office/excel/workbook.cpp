#include "office/excel/workbook.h"

#include <ctime>
#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"
#include "office/common/document_properties.h"
#include "office/excel/names.h"

namespace ovc::excel {

Workbook::Workbook(std::shared_ptr<ApplicationState> application,
                   std::unique_ptr<WorkbookDocument> document)
    : application_(std::move(application)),
      document_(std::move(document)),
      file_name_(document_->file_name()),
      keep_change_history_(document_->is_shared()),
      active_sheet_(document_->active_sheet()) {}

std::string Workbook::Disconnected() const {
  return document_ ? std::string() : Describe(file_name_, "", "has been closed");
}

HRESULT Workbook::get_Name(std::wstring* name) {
  *name = FromUtf8(file_name_);
  return S_OK;
}

HRESULT Workbook::get_FullName(std::wstring* path) {
  *path = FromUtf8(document_->path());
  return S_OK;
}

HRESULT Workbook::get_Saved(VARIANT_BOOL* saved) {
  *saved = saved_ ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Workbook::put_Saved(VARIANT_BOOL saved) {
  saved_ = saved != VARIANT_FALSE;
  return S_OK;
}

HRESULT Workbook::get_ReadOnly(VARIANT_BOOL* read_only) {
  *read_only = document_->is_read_only() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Workbook::Save() { return SaveDocument(); }

HRESULT Workbook::SaveDocument() {
  if (document_->is_read_only()) {
    return Fail(E_ACCESSDENIED, Describe(file_name_, "", "opened read-only: cannot be saved"));
  }
  std::string error;
  HRESULT code = S_OK;
  if (!document_->Save(office::UserName(application_->services), std::time(nullptr), &error,
                       &code)) {
    return Fail(code, error);
  }
  saved_ = true;
  return S_OK;
}

HRESULT Workbook::get_Names(IDispatch** names) {
  *names = MakeObject<Names>(ComPtr<Workbook>(this)).Detach();
  return S_OK;
}

void Workbook::NoteNameChanged(std::string_view name) {
  saved_ = false;
  document_->NoteNameChanged(name);
}

void Workbook::NotePropertiesChanged() {
  document_->NotePropertiesChanged();
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
  if (value != keep_change_history_) saved_ = false;
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
  if (!document_) return S_OK;
  ComPtr<Workbook> keep_alive(this);
  if (application_->BeforeClose(this)) {
    *cancelled = true;
    application_->Trace(file_name_ + ": close cancelled by an event sink");
    return S_OK;
  }
  if (!document_) return S_OK;  // a sink closed it meanwhile
  if (choice == CloseChoice::kAsk && !saved_) {
    const bool save = !document_->is_read_only() &&
                      (!application_->services.prompt || application_->services.prompt(file_name_));
    choice = save ? CloseChoice::kSave : CloseChoice::kDiscard;
  }
  if (choice == CloseChoice::kSave) {
    if (HRESULT hr = SaveDocument(); Failed(hr)) return hr;
  }
  Discard(choice == CloseChoice::kDiscard ? "closed without saving" : "");
  return S_OK;
}

void Workbook::Discard(const std::string& why) {
  if (!document_) return;
  if (!saved_ && !why.empty()) application_->Trace(file_name_ + ": changes discarded: " + why);
  Disconnect();
}

void Workbook::Disconnect() {
  ComPtr<Workbook> keep_alive(this);
  document_.reset();
  application_->Forget(this);
}

}  // namespace ovc::excel
