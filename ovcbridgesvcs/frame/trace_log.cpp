#include "ovcbridgesvcs/frame/trace_log.h"

#include <string>
#include <utility>

namespace ovc {

CTraceLog& CTraceLog::Instance() {
  static CTraceLog instance;
  return instance;
}

void CTraceLog::SetSink(std::shared_ptr<TraceSink> sink) {
  std::lock_guard lock(mutex_);
  sink_ = std::move(sink);
}

std::shared_ptr<TraceSink> CTraceLog::SinkFor(int32_t level) const {
  if (level <= kThreshold) return nullptr;
  std::lock_guard lock(mutex_);
  return sink_;
}

void CTraceLog::Trace(int32_t level, TraceKind kind, std::wstring_view text) const {
  const std::shared_ptr<TraceSink> sink = SinkFor(level);
  if (sink == nullptr) return;
  std::wstring line(kPrefix);
  switch (kind) {
    case TraceKind::kEnter:
      line.append(L" >>>> Enter ").append(text).append(L"()\n");
      break;
    case TraceKind::kLeave:
      line.append(L" <<<< Leave ").append(text).append(L"()\n");
      break;
    case TraceKind::kInfo:
      line.append(L" ....      ").append(text).append(L"\n");
      break;
    case TraceKind::kError:
      line.append(L" !!!! ").append(text).append(L"\n");
      break;
    case TraceKind::kRuntime:
      line.append(L" .... ATL: ").append(text);
      if (!text.ends_with(L'\n')) line.append(L"\n");
      break;
    default:
      return;
  }
  sink->Write(line);
}

void CTraceLog::TraceLocation(int32_t level, std::wstring_view file, int32_t line,
                              std::wstring_view text) const {
  const std::shared_ptr<TraceSink> sink = SinkFor(level);
  if (sink == nullptr) return;
  std::wstring entry(kPrefix);
  entry.append(file).append(L"(").append(std::to_wstring(line)).append(L") : ");
  entry.append(text).append(L"\n");
  sink->Write(entry);
}

}  // namespace ovc
