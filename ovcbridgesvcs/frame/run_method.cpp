#include "ovcbridgesvcs/frame/run_method.h"

#include "automation/exception_guard.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/error_chain.h"
#include "ovcbridgesvcs/frame/trace_log.h"

namespace ovc {

void CatchOVComException(CMethodFrame& frame, const OVComException& exception) {
  if (exception.error() && exception.error() == frame.error) {
    CTraceLog::Instance().Trace(CTraceLog::kErrorLevel, TraceKind::kInfo,
                                L"~~~~ Caught OVComException ~~~~");
    return;
  }
  frame.hr = exception.code();
  frame.error = exception.error();
  if (!frame.method_name.empty() || !frame.activity.empty()) {
    AddErrorRecord(frame, std::nullopt);
  }
}

void CatchComError(CMethodFrame& frame, const ComError& error) {
  if (error.error()) SetErrorInfo(error.error());
  CatchOVComException(frame, OVComException(error.code(), error.error(), {}, 0));
}

void CatchForeignException(CMethodFrame& frame, const SourceLocation& where) noexcept {
  const ExceptionStatus status = StatusOfCurrentException();
  SetErrorInfo(nullptr);
  frame.error.Reset();
  frame.hr = status.code;
  try {
    CTraceLog::Instance().TraceLocation(CTraceLog::kErrorLevel, FromUtf8(where.file_name()),
                                        static_cast<int32_t>(where.line()),
                                        L"!!!! Unhandled Exception !!!!");
    AddErrorRecord(frame, std::nullopt, status.description);
  } catch (...) {
    // Out of memory again: the status alone must do.
    frame.error.Reset();
  }
}

HRESULT ExitMethod(CMethodFrame& frame) noexcept {
  if (frame.error) SetErrorInfo(frame.error);
  return frame.hr;
}

}  // namespace ovc
