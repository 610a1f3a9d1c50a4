#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ovc::bench {

// The console reporter, keeping each benchmark's adjusted real time per
// iteration so that a program can compare benchmarks after the run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations > 0) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The time of a benchmark that ran, in its unit; nullopt when it did not.
  std::optional<double> Time(const std::string& name) const {
    const auto found = times_.find(name);
    if (found == times_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace ovc::bench
