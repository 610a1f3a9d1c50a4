#pragma once

#include <chrono>
#include <set>
#include <string>

#include "cli/console.h"
#include "ovcbridgesvcs/frame/progress_hooks.h"

namespace ovc::cli {

// From now on Ctrl-C only marks the program as interrupted, so that every
// command ends its work and releases what it holds; a second Ctrl-C ends
// the program at once.
void CatchInterrupt();
bool Interrupted();
// Whether a Ctrl-C came that no command answered yet; it is answered now.
bool TakeInterrupt();

// Shows the library's progress reports while it is installed: a bar redrawn
// in place on a terminal, plain lines otherwise, nothing with --quiet. The
// bar is erased when the display ends, however the operation ended. After
// a Ctrl-C it asks the library to stop at its next report.
class ProgressDisplay {
 public:
  explicit ProgressDisplay(const Console& console);
  ~ProgressDisplay();
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  // The files the reports named, and the time since the display began.
  const std::set<std::string>& files() const { return files_; }
  double seconds() const;

  // Takes the bar off the terminal, until the next report draws it again.
  void Erase();

  // One report of the library; false asks it to stop.
  bool Report(const OvcProgressStep& step);

 private:
  std::string Links() const;
  void DrawBar(int phase, const std::string& file, const std::string& object, int64_t done,
               int64_t total);

  const Console& console_;
  const bool bar_;
  const std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point drawn_;
  bool shown_ = false;
  // The Links of the file walks finished, and with the walk under way.
  int64_t links_finished_ = 0;
  int64_t links_ = 0;
  std::set<std::string> files_;
};

}  // namespace ovc::cli
