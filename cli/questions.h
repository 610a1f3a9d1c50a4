#pragma once

#include <optional>
#include <string>

#include "cli/console.h"

namespace ovc::cli {

// The numbering the library offers for copies; each value the command line
// gave replaces the offered one.
struct Numbering {
  std::optional<std::string> delimiter;
  std::optional<int> digits;
  std::optional<int> start;
};

// Answers the library's questions while it is installed: asked on the
// terminal when standard input is one; otherwise the overwrite question is
// answered No, or Yes to all with --yes, the numbering takes the values
// offered or given, and the program says which answer it gave. After a
// Ctrl-C the questions left are answered so too, without asking.
class Questions {
 public:
  Questions(const Console& console, const Options& options, const Numbering& numbering);
  ~Questions();
  Questions(const Questions&) = delete;
  Questions& operator=(const Questions&) = delete;

  int MessageBox(const std::string& text, const std::string& caption);
  int Confirm(const std::string& question, const std::string& caption);
  // Fills *delimiter, *digits and *start, which hold the offered values.
  void AskNumbering(std::string* delimiter, int* digits, int* start);

 private:
  // The line typed; nothing once a Ctrl-C came, which ends the asking.
  std::optional<std::string> Ask(const std::string& prompt) const;

  const Console& console_;
  const Options& options_;
  const Numbering& numbering_;
  const bool terminal_;
};

}  // namespace ovc::cli
