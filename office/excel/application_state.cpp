#include "office/excel/application_state.h"

#include <fmt/format.h>

#include <algorithm>
#include <utility>

#include "automation/hresult.h"
#include "office/excel/excel.h"
#include "office/excel/workbook.h"

namespace ovc::excel {

inline constexpr DISPID kWorkbookBeforeClose = 0x622;

ApplicationState::ApplicationState(office::Services services)
    : office::ApplicationCore(std::move(services), kWindowStates) {}

ApplicationState::~ApplicationState() = default;

bool ApplicationState::BeforeClose(IDispatch* workbook) {
  if (events == nullptr || events->connection_count() == 0) return false;
  ComPtr<IDispatch> keep_application(application);
  ComPtr<IDispatch> keep_workbook(workbook);
  VARIANT_BOOL cancel = VARIANT_FALSE;
  Variant args[] = {Variant::ByRef(VT_BOOL, &cancel), Variant(workbook)};
  DISPPARAMS params{args, nullptr, 2, 0};
  const HRESULT hr = events->Fire(kWorkbookBeforeClose, &params);
  if (Failed(hr)) {
    Trace(
        fmt::format("WorkbookBeforeClose: a sink failed with {:#010x}", static_cast<uint32_t>(hr)));
  }
  return cancel != VARIANT_FALSE;
}

void ApplicationState::Adopt(ComPtr<Workbook> workbook) {
  active = workbook.get();
  workbooks.push_back(std::move(workbook));
}

void ApplicationState::Forget(Workbook* workbook) {
  std::erase_if(workbooks, [&](const ComPtr<Workbook>& open) { return open.get() == workbook; });
  active = workbooks.empty() ? nullptr : workbooks.back().get();
}

}  // namespace ovc::excel
