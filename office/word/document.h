#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "office/common/document_properties.h"
#include "office/common/open_document.h"
#include "office/common/open_files.h"
#include "office/word/application_state.h"
#include "office/word/document_file.h"
#include "office/word/held_element.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

using office::CloseChoice;

// One open document, the same object for as long as it is open (a second
// Open of its path hands out this very object). Once closed, every call on
// it and on everything taken from it fails with RPC_E_DISCONNECTED
// ("<file>: has been closed").
class Document final : public office::OpenDocument<WordObject<IDocument>, DocumentFile>,
                       public office::PropertiesHost {
 public:
  Document(std::shared_ptr<ApplicationState> application, std::unique_ptr<DocumentFile> file);

  HRESULT Close(const Variant& save_changes, const Variant& original_format,
                const Variant& route_document) override;
  // Refused when another file open in the application has the file's name
  // or the file is open in this process.
  HRESULT SaveAs(const std::wstring& file_name) override;
  HRESULT get_Bookmarks(IDispatch** bookmarks) override;
  HRESULT get_Fields(IDispatch** fields) override;
  HRESULT get_BuiltinDocumentProperties(IDispatch** properties) override;
  HRESULT get_ProtectionType(int32_t* type) override;
  HRESULT Unprotect(const Variant& password) override;
  // Protecting for forms (type 2) without NoReset true puts every form
  // field back to its default result.
  HRESULT Protect(int32_t type, const Variant& no_reset, const Variant& password,
                  const Variant& use_irm, const Variant& enforce_style_lock) override;
  HRESULT get_TrackRevisions(VARIANT_BOOL* track) override;
  HRESULT put_TrackRevisions(VARIANT_BOOL track) override;

  // Saves or discards as `choice` says and closes. A failed save leaves the
  // document open and returns the failure, the error object naming the
  // file. Ending a closed document does nothing.
  HRESULT End(CloseChoice choice);
  // Closes without saving; lost changes are traced with `why`.
  void Discard(const std::string& why);

  // The document's model; valid while it is open (file() non-null).
  WordDocument& model() const { return file()->model(); }
  // The protection in force (kNoProtection, kAllowOnlyRevisions, ...).
  int32_t protection_type() const { return file()->settings().ProtectionType(); }
  // Why a write into the text is refused now (protection, revision
  // tracking); "" when it is allowed.
  std::string TextWriteRefusal() const;
  // The application the document is open in.
  ApplicationState& application() const { return *application_; }
  const std::string& file_name() const override { return file_name_; }
  office::CoreProperties& core_properties() override { return file()->properties(); }
  void NotePropertiesChanged() override { MarkChanged(); }
  std::string Disconnected() const override;
  // Why an object holding `element` can no longer be used: Disconnected(),
  // else "<file>: <what>: has been deleted" once the element left the
  // document; "" while it can.
  std::string DisconnectedHolding(const HeldElement& element, std::string_view what) const;
  // Checks `index` (from 1) into `held`, the elements of the collection
  // `collection` ("Cells") of `item`s ("cell"): DISP_E_BADINDEX outside it,
  // RPC_E_DISCONNECTED once that element has left the document.
  office::LookupError CheckHeld(const std::vector<HeldElement>& held, int32_t index,
                                std::string_view collection, std::string_view item) const;

 private:
  // Fails with `reason` about this document; `code` its HRESULT.
  HRESULT FailHere(HRESULT code, std::string_view where, std::string_view reason);

  std::shared_ptr<ApplicationState> application_;
};

// What a missing or given optional argument means: S_OK with *given false
// when it is missing, else its value as text; DISP_E_TYPEMISMATCH when it is
// no text.
HRESULT OptionalText(const Variant& argument, bool* given, std::wstring* text);

}  // namespace ovc::word
