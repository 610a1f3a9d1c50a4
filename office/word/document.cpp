#include "office/word/document.h"

#include <ctime>
#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"

namespace ovc::word {

HRESULT OptionalText(const Variant& argument, bool* given, std::wstring* text) {
  *given = !argument.IsMissing();
  if (!*given) return S_OK;
  Variant value;
  if (Failed(VariantChangeType(&value, argument.Dereferenced(), 0, VT_BSTR))) {
    return DISP_E_TYPEMISMATCH;
  }
  *text = value.bstr();
  return S_OK;
}

Document::Document(std::shared_ptr<ApplicationState> application,
                   std::unique_ptr<DocumentFile> file)
    : application_(std::move(application)),
      file_(std::move(file)),
      file_name_(file_->file_name()) {}

std::string Document::Disconnected() const {
  if (!file_) return office::Describe(file_name_, "", "has been closed");
  return application_->Disconnected();
}

HRESULT Document::FailHere(HRESULT code, std::string_view where, std::string_view reason) {
  return Fail(code, office::Describe(file_name_, where, reason));
}

HRESULT Document::get_Name(std::wstring* name) {
  *name = FromUtf8(file_name_);
  return S_OK;
}

HRESULT Document::get_FullName(std::wstring* path) {
  *path = FromUtf8(file_->path());
  return S_OK;
}

HRESULT Document::get_Saved(VARIANT_BOOL* saved) {
  *saved = saved_ ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Document::put_Saved(VARIANT_BOOL saved) {
  saved_ = saved != VARIANT_FALSE;
  return S_OK;
}

HRESULT Document::get_ReadOnly(VARIANT_BOOL* read_only) {
  *read_only = file_->is_read_only() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Document::Save() { return SaveFile(); }

HRESULT Document::SaveFile() {
  if (file_->is_read_only()) {
    return FailHere(E_ACCESSDENIED, "", "opened read-only: cannot be saved");
  }
  std::string error;
  HRESULT code = S_OK;
  if (!file_->Save(office::UserName(application_->services), std::time(nullptr), &error, &code)) {
    return Fail(code, error);
  }
  saved_ = true;
  return S_OK;
}

HRESULT Document::Close(const Variant& save_changes, const Variant& original_format,
                        const Variant& route_document) {
  if (!original_format.IsMissing() || !route_document.IsMissing()) {
    return FailHere(E_NOTIMPL, "Close", "OriginalFormat and RouteDocument are not supported");
  }
  CloseChoice choice = CloseChoice::kAsk;
  if (!save_changes.IsMissing()) {
    Variant save;
    if (Failed(VariantChangeType(&save, save_changes.Dereferenced(), 0, VT_I4))) {
      return FailHere(DISP_E_TYPEMISMATCH, "Close", "SaveChanges is not a number");
    }
    if (save.i4() == 0) choice = CloseChoice::kDiscard;
    if (save.i4() == -1) choice = CloseChoice::kSave;
  }
  return End(choice);
}

HRESULT Document::End(CloseChoice choice) {
  if (!file_) return S_OK;
  ComPtr<Document> keep_alive(this);
  if (choice == CloseChoice::kAsk && !saved_) {
    const bool save = !file_->is_read_only() &&
                      (!application_->services.prompt || application_->services.prompt(file_name_));
    application_->Trace(file_name_ + ": asked whether to save changes, answered " +
                        (save ? "yes" : "no"));
    choice = save ? CloseChoice::kSave : CloseChoice::kDiscard;
  }
  if (choice == CloseChoice::kSave) {
    if (HRESULT hr = SaveFile(); Failed(hr)) return hr;
  }
  Discard(choice == CloseChoice::kDiscard && !saved_ ? "closed without saving" : "");
  return S_OK;
}

void Document::Discard(const std::string& why) {
  if (!file_) return;
  ComPtr<Document> keep_alive(this);
  if (!why.empty() && !saved_) application_->Trace(file_name_ + ": changes lost, " + why);
  file_.reset();
  application_->Forget(this);
}

HRESULT Document::get_Bookmarks(IDispatch**) {
  return FailHere(E_NOTIMPL, "Bookmarks", "bookmarks are not available in this build");
}

HRESULT Document::get_Fields(IDispatch**) {
  return FailHere(E_NOTIMPL, "Fields", "fields are not available in this build");
}

HRESULT Document::get_BuiltinDocumentProperties(IDispatch** properties) {
  *properties = MakeObject<office::DocumentProperties>(
                    kErrorSource, ComPtr<IDispatch>(static_cast<IDocument*>(this)), this)
                    .Detach();
  return S_OK;
}

HRESULT Document::get_ProtectionType(int32_t* type) {
  *type = file_->settings().ProtectionType();
  return S_OK;
}

HRESULT Document::Unprotect(const Variant& password) {
  bool given = false;
  std::wstring text;
  if (Failed(OptionalText(password, &given, &text))) {
    return FailHere(DISP_E_TYPEMISMATCH, "Unprotect", "Password is not text");
  }
  std::string reason;
  const bool was_protected = file_->settings().ProtectionType() != kNoProtection;
  const HRESULT hr = file_->settings().Unprotect(given ? &text : nullptr, &reason);
  if (Failed(hr)) return FailHere(hr, "Unprotect", reason);
  if (was_protected) MarkChanged();
  return S_OK;
}

HRESULT Document::Protect(int32_t type, const Variant& no_reset, const Variant& password,
                          const Variant& use_irm, const Variant& enforce_style_lock) {
  if (!use_irm.IsMissing() || !enforce_style_lock.IsMissing()) {
    return FailHere(E_NOTIMPL, "Protect", "UseIRM and EnforceStyleLock are not supported");
  }
  Variant keep_results = Variant::Bool(false);
  if (!no_reset.IsMissing() &&
      Failed(VariantChangeType(&keep_results, no_reset.Dereferenced(), 0, VT_BOOL))) {
    return FailHere(DISP_E_TYPEMISMATCH, "Protect", "NoReset is not a boolean");
  }
  bool given = false;
  std::wstring text;
  if (Failed(OptionalText(password, &given, &text))) {
    return FailHere(DISP_E_TYPEMISMATCH, "Protect", "Password is not text");
  }
  std::string reason;
  const HRESULT hr = file_->settings().Protect(type, given ? &text : nullptr, &reason);
  if (Failed(hr)) return FailHere(hr, "Protect", reason);
  MarkChanged();
  return S_OK;
}

HRESULT Document::get_TrackRevisions(VARIANT_BOOL* track) {
  *track = file_->settings().TrackRevisions() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Document::put_TrackRevisions(VARIANT_BOOL track) {
  const bool on = track != VARIANT_FALSE;
  if (on == file_->settings().TrackRevisions()) return S_OK;
  std::string reason;
  const HRESULT hr = file_->settings().SetTrackRevisions(on, &reason);
  if (Failed(hr)) return FailHere(hr, "TrackRevisions", reason);
  MarkChanged();
  return S_OK;
}

}  // namespace ovc::word
