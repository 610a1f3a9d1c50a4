#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "automation/hresult.h"
#include "automation/variant.h"
#include "office/common/services.h"

namespace ovc::office {

// The window states an application accepts, as its object model numbers
// them, in ascending order; the first is the normal one it starts in.
using WindowStates = std::array<int32_t, 3>;

// What every office application shares with each object taken from it. The
// state outlives the Application object while anything taken from it lives;
// once `quit` is set, everything taken from it is disconnected. Nothing of it
// is ever drawn or written into a file. Serves one thread at a time.
struct ApplicationCore {
  ApplicationCore(Services services, const WindowStates& window_states);
  ApplicationCore(const ApplicationCore&) = delete;
  ApplicationCore& operator=(const ApplicationCore&) = delete;

  Services services;
  const WindowStates window_states;
  bool quit = false;
  bool visible = false;
  bool screen_updating = true;
  int32_t window_state;

  void Trace(const std::string& line) const;
  // Takes `state` when it is one of window_states; otherwise false, the
  // state unchanged and *reason the description of the refusal.
  bool SetWindowState(int32_t state, std::string* reason);
};

// A kept flag as an automation boolean, and back; both succeed.
HRESULT GetFlag(bool flag, VARIANT_BOOL* value);
HRESULT PutFlag(VARIANT_BOOL value, bool* flag);

}  // namespace ovc::office
