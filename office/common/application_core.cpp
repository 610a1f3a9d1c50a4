#include "office/common/application_core.h"

#include <algorithm>
#include <utility>

namespace ovc::office {

ApplicationCore::ApplicationCore(Services services, const WindowStates& window_states)
    : services(std::move(services)), window_states(window_states), window_state(window_states[0]) {}

void ApplicationCore::Trace(const std::string& line) const {
  if (services.trace) services.trace(line);
}

bool ApplicationCore::SetWindowState(int32_t state, std::string* reason) {
  if (std::find(window_states.begin(), window_states.end(), state) == window_states.end()) {
    *reason = "WindowState: " + std::to_string(state) + " is not a window state (" +
              std::to_string(window_states[0]) + ", " + std::to_string(window_states[1]) + " or " +
              std::to_string(window_states[2]) + ")";
    return false;
  }
  window_state = state;
  return true;
}

HRESULT GetFlag(bool flag, VARIANT_BOOL* value) {
  *value = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT PutFlag(VARIANT_BOOL value, bool* flag) {
  *flag = value != VARIANT_FALSE;
  return S_OK;
}

}  // namespace ovc::office
