#include "office/word/application.h"

#include <utility>
#include <vector>

#include "automation/conversion.h"
#include "office/common/macro_registry.h"
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
    : state_(std::make_shared<ApplicationState>(std::move(services))) {}

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

HRESULT Application::get_Visible(VARIANT_BOOL* visible) {
  *visible = state_->visible ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Application::put_Visible(VARIANT_BOOL visible) {
  state_->visible = visible != VARIANT_FALSE;
  return S_OK;
}

HRESULT Application::get_ScreenUpdating(VARIANT_BOOL* updating) {
  *updating = state_->screen_updating ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Application::put_ScreenUpdating(VARIANT_BOOL updating) {
  state_->screen_updating = updating != VARIANT_FALSE;
  return S_OK;
}

HRESULT Application::get_WindowState(int32_t* state) {
  *state = state_->window_state;
  return S_OK;
}

HRESULT Application::put_WindowState(int32_t state) {
  if (state != kWindowNormal && state != kWindowMaximized && state != kWindowMinimized) {
    return Fail(E_INVALIDARG,
                "WindowState: " + std::to_string(state) + " is not a window state (0, 1 or 2)");
  }
  state_->window_state = state;
  return S_OK;
}

HRESULT Application::Activate() { return S_OK; }

HRESULT Application::Run(const std::wstring& macro_name, const Variant& arg1, const Variant& arg2,
                         const Variant& arg3, const Variant& arg4, const Variant& arg5,
                         const Variant& arg6, const Variant& arg7, const Variant& arg8,
                         const Variant& arg9, const Variant& arg10, const Variant& arg11,
                         const Variant& arg12, const Variant& arg13, const Variant& arg14,
                         const Variant& arg15, const Variant& arg16, const Variant& arg17,
                         const Variant& arg18, const Variant& arg19, const Variant& arg20,
                         const Variant& arg21, const Variant& arg22, const Variant& arg23,
                         const Variant& arg24, const Variant& arg25, const Variant& arg26,
                         const Variant& arg27, const Variant& arg28, const Variant& arg29,
                         const Variant& arg30, Variant* result) {
  const Variant* const args[] = {&arg1,  &arg2,  &arg3,  &arg4,  &arg5,  &arg6,  &arg7,  &arg8,
                                 &arg9,  &arg10, &arg11, &arg12, &arg13, &arg14, &arg15, &arg16,
                                 &arg17, &arg18, &arg19, &arg20, &arg21, &arg22, &arg23, &arg24,
                                 &arg25, &arg26, &arg27, &arg28, &arg29, &arg30};
  std::string reason;
  const HRESULT hr = office::RunMacro(this, Variant(macro_name), args, result, &reason);
  return reason.empty() ? hr : Fail(hr, reason);
}

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
