#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ovcbridgesvcs/frame/trace_log.h"

namespace ovc::frame_testing {

// Installs a sink that keeps every trace line for as long as it lives, and
// removes it again.
class TraceCapture {
 public:
  TraceCapture() : sink_(std::make_shared<Sink>()) { CTraceLog::Instance().SetSink(sink_); }
  ~TraceCapture() { CTraceLog::Instance().SetSink(nullptr); }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::vector<std::wstring> lines() const {
    std::lock_guard lock(sink_->mutex);
    return sink_->lines;
  }
  // Whether a line contains `text`.
  bool Contains(std::wstring_view text) const {
    for (const std::wstring& line : lines()) {
      if (line.find(text) != std::wstring::npos) return true;
    }
    return false;
  }

 private:
  struct Sink : TraceSink {
    void Write(std::wstring_view text) override {
      std::lock_guard lock(mutex);
      lines.emplace_back(text);
    }
    mutable std::mutex mutex;
    std::vector<std::wstring> lines;
  };

  std::shared_ptr<Sink> sink_;
};

}  // namespace ovc::frame_testing
