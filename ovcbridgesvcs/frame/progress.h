#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace ovc {

// The phases of a transfer operation, in the order an AutoRun runs them.
enum class ProgressPhase { kHostRead, kWritePass, kReadPass, kHostWrite };

// Where a running operation is.
struct ProgressStep {
  ProgressPhase phase;
  std::wstring_view file;    // App Name+Type, empty outside a file
  std::wstring_view object;  // the LinkSet's ObjectName, empty when none
  int64_t done;              // steps of this phase done so far
  int64_t total;             // steps of this phase in all (0 when unknown)
  int64_t links = 0;         // Links whose value moved to or from `file` so far
};

// Follows the transfer operations. The embedding program installs one
// (SetProgress) to draw a bar or to offer a way to stop; the default does
// nothing. Report is called on the thread running the operation.
class Progress {
 public:
  virtual ~Progress() = default;
  // false asks the running operation to stop.
  virtual bool Report(const ProgressStep& step) = 0;
};

// Installs the process's progress service, replacing the previous one; null
// restores the default (does nothing). The library shares ownership.
void SetProgress(std::shared_ptr<Progress> service);

// Reports to the installed service; false when it asked to stop. Never throws:
// a service that throws asks to stop, and its failure is traced and becomes
// the thread's error object, so that the error raised for the stop carries
// it.
bool ReportProgress(const ProgressStep& step);

}  // namespace ovc
