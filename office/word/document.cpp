#include "office/word/document.h"

#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"
#include "office/common/open_files.h"
#include "office/word/bookmarks.h"
#include "office/word/fields.h"
#include "office/word/form_reset.h"

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
    : OpenDocument(std::move(file), &application->services), application_(std::move(application)) {
  model().set_change_listener([this] { MarkChanged(); });
}

std::string Document::TextWriteRefusal() const {
  if (protection_type() != kNoProtection) return "the document is protected";
  if (file()->settings().TrackRevisions()) return "document tracks revisions";
  return {};
}

std::string Document::Disconnected() const {
  const std::string closed = Closed();
  return closed.empty() ? application_->Disconnected() : closed;
}

std::string Document::DisconnectedHolding(const HeldElement& element, std::string_view what) const {
  std::string gone = Disconnected();
  if (gone.empty() && !element.Get(model())) {
    gone = office::Describe(file_name_, what, "has been deleted");
  }
  return gone;
}

office::LookupError Document::CheckHeld(const std::vector<HeldElement>& held, int32_t index,
                                        std::string_view collection, std::string_view item) const {
  const std::string position = std::to_string(index);
  if (index < 1 || index > static_cast<int32_t>(held.size())) {
    return {DISP_E_BADINDEX, office::Describe(file_name_, collection,
                                              "no " + std::string(item) + " at position " +
                                                  position + " of " + std::to_string(held.size()))};
  }
  if (!held[index - 1].Get(model())) {
    return {RPC_E_DISCONNECTED,
            office::Describe(file_name_, collection,
                             std::string(item) + " " + position + " has been deleted")};
  }
  return {};
}

HRESULT Document::FailHere(HRESULT code, std::string_view where, std::string_view reason) {
  return Fail(code, office::Describe(file_name_, where, reason));
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
  if (!file()) return S_OK;
  ComPtr<Document> keep_alive(this);
  choice = Decide(choice);
  if (choice == CloseChoice::kSave) {
    if (HRESULT hr = SaveFile(); Failed(hr)) return hr;
  }
  Discard(choice == CloseChoice::kDiscard ? "closed without saving" : "");
  return S_OK;
}

void Document::Discard(const std::string& why) {
  if (!file()) return;
  ComPtr<Document> keep_alive(this);
  CloseFile(why);
  application_->Forget(this);
}

HRESULT Document::SaveAs(const std::wstring& file_name) {
  const std::string path = ToUtf8(file_name);
  return SaveFileAs(path, office::OpenFileNamedAs(application_->documents, this, path));
}

HRESULT Document::get_Bookmarks(IDispatch** bookmarks) {
  *bookmarks = MakeObject<Bookmarks>(ComPtr<Document>(this)).Detach();
  return S_OK;
}

HRESULT Document::get_Fields(IDispatch** fields) {
  *fields = MakeObject<Fields>(ComPtr<Document>(this), nullptr).Detach();
  return S_OK;
}

HRESULT Document::get_BuiltinDocumentProperties(IDispatch** properties) {
  *properties = MakeObject<office::DocumentProperties>(
                    kErrorSource, ComPtr<IDispatch>(static_cast<IDocument*>(this)), this)
                    .Detach();
  return S_OK;
}

HRESULT Document::get_ProtectionType(int32_t* type) {
  *type = protection_type();
  return S_OK;
}

HRESULT Document::Unprotect(const Variant& password) {
  bool given = false;
  std::wstring text;
  if (Failed(OptionalText(password, &given, &text))) {
    return FailHere(DISP_E_TYPEMISMATCH, "Unprotect", "Password is not text");
  }
  std::string reason;
  const bool was_protected = file()->settings().ProtectionType() != kNoProtection;
  const HRESULT hr = file()->settings().Unprotect(given ? &text : nullptr, &reason);
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
  const HRESULT hr = file()->settings().Protect(type, given ? &text : nullptr, &reason);
  if (Failed(hr)) return FailHere(hr, "Protect", reason);
  if (type == kAllowOnlyFormFields && keep_results.boolVal() == VARIANT_FALSE) {
    ResetFormFields(model());
  }
  MarkChanged();
  return S_OK;
}

HRESULT Document::get_TrackRevisions(VARIANT_BOOL* track) {
  *track = file()->settings().TrackRevisions() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Document::put_TrackRevisions(VARIANT_BOOL track) {
  const bool on = track != VARIANT_FALSE;
  if (on == file()->settings().TrackRevisions()) return S_OK;
  std::string reason;
  const HRESULT hr = file()->settings().SetTrackRevisions(on, &reason);
  if (Failed(hr)) return FailHere(hr, "TrackRevisions", reason);
  MarkChanged();
  return S_OK;
}

}  // namespace ovc::word
