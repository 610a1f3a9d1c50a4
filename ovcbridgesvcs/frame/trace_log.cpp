#include "ovcbridgesvcs/frame/trace_log.h"

#include <string>
#include <utility>

namespace ovc {

namespace {

// Prefix, the layout of `kind` around `text`, and a line feed.
std::wstring Layout(TraceKind kind, std::wstring_view text) {
  std::wstring line(CTraceLog::kPrefix);
  switch (kind) {
    case TraceKind::kEnter:
      return line.append(L" >>>> Enter ").append(text).append(L"()\n");
    case TraceKind::kLeave:
      return line.append(L" <<<< Leave ").append(text).append(L"()\n");
    case TraceKind::kInfo:
      return line.append(L" ....      ").append(text).append(L"\n");
    case TraceKind::kError:
      return line.append(L" !!!! ").append(text).append(L"\n");
    case TraceKind::kRuntime:
      line.append(L" .... ATL: ").append(text);
      return text.ends_with(L'\n') ? line : line.append(L"\n");
  }
  return line.append(text).append(L"\n");
}

}  // namespace

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

void CTraceLog::Trace(int32_t level, TraceKind kind, std::wstring_view text) const noexcept {
  try {
    if (const std::shared_ptr<TraceSink> sink = SinkFor(level)) sink->Write(Layout(kind, text));
  } catch (...) {
    // A lost trace line never fails the method that writes it.
  }
}

void CTraceLog::TraceLocation(int32_t level, std::wstring_view file, int32_t line,
                              std::wstring_view text) const noexcept {
  try {
    const std::shared_ptr<TraceSink> sink = SinkFor(level);
    if (sink == nullptr) return;
    std::wstring entry(kPrefix);
    entry.append(file).append(L"(").append(std::to_wstring(line)).append(L") : ");
    entry.append(text).append(L"\n");
    sink->Write(entry);
  } catch (...) {
    // As for Trace.
  }
}

}  // namespace ovc
