#include "office/word/application.h"

#include <utility>
#include <vector>

#include "automation/conversion.h"
#include "office/word/document.h"
#include "office/word/documents.h"
#include "office/word/options.h"
#include "office/word/selection.h"

namespace ovc::word {
namespace {

// SaveChanges of Quit.
constexpr int32_t kDoNotSaveChanges = 0;
constexpr int32_t kSaveChanges = -1;
constexpr int32_t kPromptToSaveChanges = -2;

}  // namespace

Application::Application(office::Services services)
    : ApplicationObject(std::make_shared<ApplicationState>(std::move(services))) {}

Application::~Application() {
  const std::vector<ComPtr<Document>> open = state_->documents;
  for (const ComPtr<Document>& document : open) {
    document->Discard("the application was released without Quit");
  }
  state_->quit = true;
}

HRESULT Application::get_Documents(IDispatch** documents) {
  *documents = MakeObject<Documents>(state_).Detach();
  return S_OK;
}

HRESULT Application::get_Options(IDispatch** options) {
  *options = MakeObject<Options>(state_).Detach();
  return S_OK;
}

HRESULT Application::get_Selection(IDispatch** selection) {
  *selection = MakeObject<Selection>(state_).Detach();
  return S_OK;
}

HRESULT Application::Activate() { return S_OK; }

HRESULT Application::Quit(const Variant& save_changes, const Variant& original_format,
                          const Variant& route_document) {
  if (!original_format.IsMissing() || !route_document.IsMissing()) {
    return Fail(E_NOTIMPL, "Quit: OriginalFormat and RouteDocument are not supported");
  }
  Variant choice = Variant::I4(kPromptToSaveChanges);
  if (!save_changes.IsMissing() &&
      (Failed(VariantChangeType(&choice, save_changes.Dereferenced(), 0, VT_I4)) ||
       (choice.i4() != kDoNotSaveChanges && choice.i4() != kSaveChanges &&
        choice.i4() != kPromptToSaveChanges))) {
    return Fail(E_INVALIDARG, "Quit: SaveChanges is none of 0, -1 and -2");
  }
  const CloseChoice close = choice.i4() == kSaveChanges        ? CloseChoice::kSave
                            : choice.i4() == kDoNotSaveChanges ? CloseChoice::kDiscard
                                                               : CloseChoice::kAsk;
  ComPtr<IDispatch> keep_alive(this);
  const std::vector<ComPtr<Document>> open = state_->documents;
  for (const ComPtr<Document>& document : open) {
    VARIANT_BOOL saved = VARIANT_FALSE;
    document->get_Saved(&saved);
    const HRESULT hr = document->End(saved != VARIANT_FALSE ? CloseChoice::kDiscard : close);
    if (Failed(hr)) return hr;
  }
  state_->quit = true;
  return S_OK;
}

}  // namespace ovc::word
