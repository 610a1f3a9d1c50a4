#include "ovcbridgesvcs/frame/method_frame.h"

#include "ovcbridgesvcs/frame/trace_log.h"

namespace ovc {

CMethodFrame::CMethodFrame(std::wstring_view method) noexcept : method_name(method) {
  CTraceLog::Instance().Trace(trace_level, TraceKind::kEnter, method_name);
}

HRESULT CheckResult(CMethodFrame& frame, HRESULT code) {
  frame.hr = code;
  frame.error.Reset();
  if (Failed(code)) frame.error = GetErrorInfo();
  return code;
}

}  // namespace ovc
