#include "ovcbridgesvcs/frame/progress.h"

#include <exception>
#include <string>
#include <utility>

#include "automation/error_info.h"
#include "automation/exception_guard.h"
#include "automation/hresult.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/installed_service.h"
#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "ovcbridgesvcs/frame/trace_log.h"

namespace ovc {
namespace {

// The what() text of the exception being handled.
std::wstring CurrentExceptionText() {
  try {
    throw;
  } catch (const std::exception& failure) {
    return FromUtf8(failure.what());
  } catch (...) {
    return StatusOfCurrentException().description;
  }
}

// Traces the exception being handled, thrown by the service, and makes it
// the thread's error object.
void RecordServiceFailure() noexcept {
  try {
    std::wstring text = L"The progress service failed: " + CurrentExceptionText();
    CTraceLog::Instance().Trace(CTraceLog::kErrorLevel, TraceKind::kError, text);
    SetErrorResult(E_ABORT, std::move(text), L"OVCBridgeSvcs");
  } catch (...) {
    // out of memory: the stop itself is still reported
  }
}

}  // namespace

void SetProgress(std::shared_ptr<Progress> service) {
  InstalledSlot<Progress>().Install(std::move(service));
}

bool ReportProgress(const ProgressStep& step) {
  try {
    const std::shared_ptr<Progress> service = InstalledSlot<Progress>().Current();
    if (!service) return true;
    const UserCodeScope user_code;
    return service->Report(step);
  } catch (...) {
    RecordServiceFailure();
    return false;
  }
}

}  // namespace ovc
