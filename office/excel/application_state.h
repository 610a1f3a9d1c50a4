#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/connection_point.h"
#include "office/common/application_core.h"
#include "office/common/services.h"
#include "office/excel/calc_settings.h"

namespace ovc::excel {

class Workbook;

// The window states: normal, minimized, maximized.
inline constexpr office::WindowStates kWindowStates = {-4143, -4140, -4137};

// What an Application and every object taken from it share (see
// office::ApplicationCore): also its workbooks and calculation mode.
struct ApplicationState : office::ApplicationCore {
  explicit ApplicationState(office::Services services);
  ~ApplicationState();

  // Set by a put or taken from the first workbook opened; automatic until then.
  std::optional<int32_t> calculation;
  // The open workbooks in opening order, each held until it closes.
  std::vector<ComPtr<Workbook>> workbooks;
  Workbook* active = nullptr;
  // The Application object and its event source, borrowed while it lives.
  IDispatch* application = nullptr;
  ConnectionPoint* events = nullptr;

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
