#pragma once

#include <memory>
#include <string>

#include "office/common/services.h"
#include "office/word/application_state.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

// The word processor: its state (nothing is ever drawn), its open documents,
// its options and Run for the macros the embedding program registered. Each
// instance is independent of every other. Its last release without Quit
// closes every open document without saving (traced); after Quit every call
// on it and on everything taken from it fails with RPC_E_DISCONNECTED.
class Application final : public WordObject<IApplication> {
 public:
  explicit Application(office::Services services);
  ~Application() override;

  HRESULT get_Documents(IDispatch** documents) override;
  HRESULT get_Options(IDispatch** options) override;
  HRESULT get_Selection(IDispatch** selection) override;
  HRESULT get_Visible(VARIANT_BOOL* visible) override;
  HRESULT put_Visible(VARIANT_BOOL visible) override;
  HRESULT get_ScreenUpdating(VARIANT_BOOL* updating) override;
  HRESULT put_ScreenUpdating(VARIANT_BOOL updating) override;
  HRESULT get_WindowState(int32_t* state) override;
  HRESULT put_WindowState(int32_t state) override;
  HRESULT Activate() override;
  HRESULT Run(const std::wstring& macro_name, const Variant& arg1, const Variant& arg2,
              const Variant& arg3, const Variant& arg4, const Variant& arg5, const Variant& arg6,
              const Variant& arg7, const Variant& arg8, const Variant& arg9, const Variant& arg10,
              const Variant& arg11, const Variant& arg12, const Variant& arg13,
              const Variant& arg14, const Variant& arg15, const Variant& arg16,
              const Variant& arg17, const Variant& arg18, const Variant& arg19,
              const Variant& arg20, const Variant& arg21, const Variant& arg22,
              const Variant& arg23, const Variant& arg24, const Variant& arg25,
              const Variant& arg26, const Variant& arg27, const Variant& arg28,
              const Variant& arg29, const Variant& arg30, Variant* result) override;
  // Closes every document: those marked saved are discarded; the others are
  // saved (SaveChanges -1), discarded (0) or put to the prompt service (-2
  // or missing). A failed save stops Quit, the application living on.
  HRESULT Quit(const Variant& save_changes, const Variant& original_format,
               const Variant& route_document) override;

  std::string Disconnected() const override { return state_->Disconnected(); }

 private:
  std::shared_ptr<ApplicationState> state_;
};

}  // namespace ovc::word
