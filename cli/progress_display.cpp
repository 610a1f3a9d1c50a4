#include "cli/progress_display.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <iostream>

#include "automation/text.h"
#include "cli/automation_client.h"

namespace ovc::cli {
namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted = true; }

constexpr std::array<const char*, 4> kPhases = {"host read", "write pass", "read pass",
                                                "host write"};
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr int kBarWidth = 20;

const char* PhaseName(int phase) {
  return phase >= 0 && phase < static_cast<int>(kPhases.size()) ? kPhases[phase] : "working";
}

int32_t ReportStep(void* context, const OvcProgressStep* step, const wchar_t**) noexcept {
  try {
    return static_cast<ProgressDisplay*>(context)->Report(*step) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

// Hands the hooks to the library this program registered; null takes them back.
void InstallHooks(const OvcProgressHooks* hooks) {
  const auto set_progress =
      reinterpret_cast<OvcSetProgressFunction>(LibraryExport("OvcSetProgress"));
  if (set_progress != nullptr) set_progress(hooks);
}

std::string Count(int64_t done, int64_t total) {
  return std::to_string(done) + "/" + std::to_string(total);
}

std::string Elapsed(double seconds) {
  const int64_t whole = static_cast<int64_t>(seconds);
  const std::string second = std::to_string(whole % 60);
  return std::to_string(whole / 60) + (second.size() < 2 ? ":0" : ":") + second;
}

}  // namespace

ProgressDisplay::ProgressDisplay(const Console& console)
    : console_(console),
      bar_(console.error_is_terminal()),
      start_(std::chrono::steady_clock::now()) {
  const OvcProgressHooks hooks{this, &ReportStep, nullptr};
  InstallHooks(&hooks);
}

ProgressDisplay::~ProgressDisplay() {
  InstallHooks(nullptr);
  Erase();
}

void CatchInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() { return interrupted; }

bool TakeInterrupt() { return interrupted.exchange(false); }

double ProgressDisplay::seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

bool ProgressDisplay::Report(const OvcProgressStep& step) {
  const std::string file = ToUtf8(step.file);
  if (!file.empty()) files_.insert(file);
  links_ = links_finished_ + step.links;
  // A file's walk ends with a step of all its objects done.
  if (!file.empty() && step.done == step.total) links_finished_ = links_;
  if (console_.quiet() || interrupted) return !interrupted;
  const std::string object = ToUtf8(step.object);
  if (bar_) {
    DrawBar(step.phase, file, object, step.done, step.total);
  } else if (object.empty()) {
    std::cerr << PhaseName(step.phase) << (file.empty() ? "" : " " + file) << ' '
              << Count(step.done, step.total) << (file.empty() ? "" : ", " + Links()) << '\n';
  }
  return true;
}

std::string ProgressDisplay::Links() const { return std::to_string(links_) + " links"; }

void ProgressDisplay::DrawBar(int phase, const std::string& file, const std::string& object,
                              int64_t done, int64_t total) {
  const auto now = std::chrono::steady_clock::now();
  if (shown_ && now - drawn_ < kRedrawEvery && done != total) return;
  drawn_ = now;
  const int filled = total > 0 ? static_cast<int>(kBarWidth * std::min(done, total) / total) : 0;
  const double elapsed = seconds();
  const int64_t rate =
      elapsed > 0 ? static_cast<int64_t>(static_cast<double>(links_) / elapsed) : 0;
  std::cerr << "\r\033[K" << PhaseName(phase) << " [" << std::string(filled, '#')
            << std::string(kBarWidth - filled, '-') << "] " << Count(done, total) << ' ' << file
            << (object.empty() ? "" : " " + object) << "  " << Links() << "  " << Elapsed(elapsed)
            << ' ' << rate << " links/s" << std::flush;
  shown_ = true;
}

void ProgressDisplay::Erase() {
  if (shown_) std::cerr << "\r\033[K" << std::flush;
  shown_ = false;
}

}  // namespace ovc::cli
