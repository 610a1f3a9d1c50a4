#pragma once

#include <memory>
#include <string>
#include <utility>

#include "office/common/application_core.h"
#include "office/common/macro_registry.h"

namespace ovc::office {

// The members every office Application has alike: the screen state it keeps
// without drawing (Visible, ScreenUpdating, WindowState) and Run for the
// macros the embedding program registered. Base is the application's object
// base for its IApplication, whose Run takes the macro name as a MacroName;
// State, shared with every object taken from the application, is an
// ApplicationCore. A WindowState put outside the application's states fails
// with E_INVALIDARG and changes nothing.
template <class Base, class State, class MacroName>
class ApplicationObject : public Base {
 public:
  HRESULT get_Visible(VARIANT_BOOL* visible) override { return GetFlag(state_->visible, visible); }
  HRESULT put_Visible(VARIANT_BOOL visible) override { return PutFlag(visible, &state_->visible); }
  HRESULT get_ScreenUpdating(VARIANT_BOOL* updating) override {
    return GetFlag(state_->screen_updating, updating);
  }
  HRESULT put_ScreenUpdating(VARIANT_BOOL updating) override {
    return PutFlag(updating, &state_->screen_updating);
  }
  HRESULT get_WindowState(int32_t* state) override {
    *state = state_->window_state;
    return S_OK;
  }
  HRESULT put_WindowState(int32_t state) override {
    std::string reason;
    return state_->SetWindowState(state, &reason) ? S_OK : this->Fail(E_INVALIDARG, reason);
  }

  HRESULT Run(const MacroName& macro, const Variant& arg1, const Variant& arg2, const Variant& arg3,
              const Variant& arg4, const Variant& arg5, const Variant& arg6, const Variant& arg7,
              const Variant& arg8, const Variant& arg9, const Variant& arg10, const Variant& arg11,
              const Variant& arg12, const Variant& arg13, const Variant& arg14,
              const Variant& arg15, const Variant& arg16, const Variant& arg17,
              const Variant& arg18, const Variant& arg19, const Variant& arg20,
              const Variant& arg21, const Variant& arg22, const Variant& arg23,
              const Variant& arg24, const Variant& arg25, const Variant& arg26,
              const Variant& arg27, const Variant& arg28, const Variant& arg29,
              const Variant& arg30, Variant* result) override {
    const Variant* const args[] = {&arg1,  &arg2,  &arg3,  &arg4,  &arg5,  &arg6,  &arg7,  &arg8,
                                   &arg9,  &arg10, &arg11, &arg12, &arg13, &arg14, &arg15, &arg16,
                                   &arg17, &arg18, &arg19, &arg20, &arg21, &arg22, &arg23, &arg24,
                                   &arg25, &arg26, &arg27, &arg28, &arg29, &arg30};
    std::string reason;
    const HRESULT hr = RunMacro(this, Variant(macro), args, result, &reason);
    return reason.empty() ? hr : this->Fail(hr, reason);
  }

 protected:
  explicit ApplicationObject(std::shared_ptr<State> state) : state_(std::move(state)) {}

  std::shared_ptr<State> state_;
};

}  // namespace ovc::office
