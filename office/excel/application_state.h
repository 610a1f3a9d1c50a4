#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/connection_point.h"
#include "office/common/services.h"
#include "office/excel/calc_settings.h"

namespace ovc::excel {

class Workbook;

// Window states, as the object model numbers them.
inline constexpr int32_t kWindowNormal = -4143;
inline constexpr int32_t kWindowMinimized = -4140;
inline constexpr int32_t kWindowMaximized = -4137;

// What an Application and every object taken from it share. The state
// outlives the Application object while anything taken from it lives; once
// `quit` is set, everything taken from it is disconnected. Serves one thread
// at a time.
struct ApplicationState {
  explicit ApplicationState(office::Services services);
  ~ApplicationState();
  ApplicationState(const ApplicationState&) = delete;
  ApplicationState& operator=(const ApplicationState&) = delete;

  office::Services services;
  bool quit = false;
  bool visible = false;
  bool screen_updating = true;
  int32_t window_state = kWindowNormal;
  // Set by a put or taken from the first workbook opened; automatic until then.
  std::optional<int32_t> calculation;
  // The open workbooks in opening order, each held until it closes.
  std::vector<ComPtr<Workbook>> workbooks;
  Workbook* active = nullptr;
  // The Application object and its event source, borrowed while it lives.
  IDispatch* application = nullptr;
  ConnectionPoint* events = nullptr;

  void Trace(const std::string& line) const;
  // Fires WorkbookBeforeClose for `workbook` at every connected sink; true
  // when one of them set Cancel. Keeps the application and the workbook alive
  // meanwhile, whatever the sinks release.
  bool BeforeClose(IDispatch* workbook);
  // Adds a workbook just opened; it becomes the active one.
  void Adopt(ComPtr<Workbook> workbook);
  // Drops a workbook that closed; the last opened becomes the active one.
  void Forget(Workbook* workbook);
};

}  // namespace ovc::excel
