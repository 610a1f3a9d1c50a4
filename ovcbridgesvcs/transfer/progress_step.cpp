#include "ovcbridgesvcs/transfer/progress_step.h"

#include <string_view>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/raise_error.h"

namespace ovc::transfer {
namespace {

constexpr std::wstring_view kStopped =
    L"The transfer was stopped at the request of the progress service; nothing was written to "
    L"Orvan.";

}  // namespace

void ReportStep(CMethodFrame& frame, const ProgressStep& step) {
  SetErrorInfo(nullptr);
  if (ReportProgress(step)) return;
  CheckResult(frame, E_ABORT);  // takes the service's own failure, when it left one
  RaiseErrorText(frame, SourceLocation::Current(), E_ABORT, kStopped);
}

void ReportUnstoppable(const ProgressStep& step) {
  if (!ReportProgress(step)) SetErrorInfo(nullptr);  // the service's failure, if it left one
}

}  // namespace ovc::transfer
