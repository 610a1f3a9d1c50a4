#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>

namespace ovc {

// What a trace line reports; the value is the character that selects the
// line's layout.
enum class TraceKind : wchar_t {
  kEnter = L'>',    // " >>>> Enter <text>()"
  kLeave = L'<',    // " <<<< Leave <text>()"
  kInfo = L'.',     // " ....      <text>"
  kError = L'!',    // " !!!! <text>"
  kRuntime = L'a',  // " .... ATL: <text>", line feed added only when missing
};

// Receives the trace. Write gets one whole line at a time, line feed
// included, and may be called from several threads at once.
class TraceSink {
 public:
  virtual ~TraceSink() = default;
  virtual void Write(std::wstring_view text) = 0;
};

// The method trace of the library: one instance per process. A line is
// written only when its level is above the threshold (1), and only to the
// installed sink; with none installed (the default) nothing is written
// anywhere.
class CTraceLog {
 public:
  static constexpr int32_t kThreshold = 1;
  static constexpr std::wstring_view kPrefix = L"&OVCE&";
  // The level of error records and of the lines that report failures.
  static constexpr int32_t kErrorLevel = 3;

  // The process's instance, created on first use.
  static CTraceLog& Instance();

  CTraceLog(const CTraceLog&) = delete;
  CTraceLog& operator=(const CTraceLog&) = delete;

  // Installs the sink that receives every line from now on, replacing the
  // previous one; null removes it. The log shares ownership of the sink.
  void SetSink(std::shared_ptr<TraceSink> sink);

  // Writes prefix, the kind's layout of `text` and a line feed. A line that
  // cannot be made or written (no memory, a sink that throws) is lost.
  void Trace(int32_t level, TraceKind kind, std::wstring_view text) const noexcept;
  // Writes prefix + file + "(" + line + ") : " + text and a line feed; lost
  // like a Trace line.
  void TraceLocation(int32_t level, std::wstring_view file, int32_t line,
                     std::wstring_view text) const noexcept;

 private:
  CTraceLog() = default;

  std::shared_ptr<TraceSink> SinkFor(int32_t level) const;

  mutable std::mutex mutex_;
  std::shared_ptr<TraceSink> sink_;
};

}  // namespace ovc
