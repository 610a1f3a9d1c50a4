#include "ovcbridgesvcs/frame/hooked_progress.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/progress.h"
#include "tests/ovcbridgesvcs/frame/trace_capture.h"

namespace ovc {
namespace {

constexpr ProgressStep kStep{ProgressPhase::kReadPass, L"calc.xlsx", L"P-101", 3, 7, 12};

// A service answering with `answer`, or throwing when it is null.
class Answering final : public Progress {
 public:
  explicit Answering(const bool* answer) : answer_(answer) {}
  bool Report(const ProgressStep&) override {
    if (answer_ == nullptr) throw std::runtime_error("disk on fire");
    return *answer_;
  }

 private:
  const bool* answer_;
};

TEST(ProgressTest, TheInstalledServiceDecidesAndAFailingOneStopsWithItsText) {
  EXPECT_TRUE(ReportProgress(kStep)) << "the default goes on";
  const bool stop = false;
  SetProgress(std::make_shared<Answering>(&stop));
  EXPECT_FALSE(ReportProgress(kStep));

  frame_testing::TraceCapture trace;
  SetProgress(std::make_shared<Answering>(nullptr));
  EXPECT_FALSE(ReportProgress(kStep));
  const std::wstring text = L"The progress service failed: disk on fire";
  EXPECT_TRUE(trace.Contains(text));
  EXPECT_EQ(TakeErrorDescription(), text);
  SetProgress(nullptr);
  EXPECT_TRUE(ReportProgress(kStep));
}

// A hook that answers `answer` (failing with a text when it is negative) and
// keeps what it was given.
struct Hook {
  int32_t answer = 1;
  OvcProgressStep step{};
  std::wstring file;
  std::wstring object;
  int32_t released = 0;

  static int32_t Report(void* context, const OvcProgressStep* step, const wchar_t** failure) {
    Hook& hook = *static_cast<Hook*>(context);
    hook.step = *step;
    hook.file = step->file;
    hook.object = step->object;
    if (hook.answer < 0) *failure = L"ValueError: no bar";
    return hook.answer;
  }
  static void Release(void* context) { ++static_cast<Hook*>(context)->released; }
};

// The failure a hooked service throws, or nothing when it answers.
std::string FailureOf(Progress& progress, bool* goes_on) {
  try {
    *goes_on = progress.Report(kStep);
    return {};
  } catch (const std::runtime_error& failure) {
    return failure.what();
  }
}

TEST(HookedProgressTest, HooksGetTheStepAndAnswerOrFailWithTheirText) {
  const struct {
    int32_t answer;
    bool goes_on;
    std::string failure;
  } cases[] = {
      {1, true, ""},
      {0, false, ""},
      {-1, false, "ValueError: no bar"},
      {2, false, "the progress hook failed"},
  };
  for (const auto& test : cases) {
    Hook hook;
    hook.answer = test.answer;
    bool goes_on = false;
    {
      const auto progress = MakeHookedProgress({&hook, &Hook::Report, &Hook::Release});
      EXPECT_EQ(FailureOf(*progress, &goes_on), test.failure);
      EXPECT_EQ(hook.released, 0);
    }
    EXPECT_EQ(goes_on, test.goes_on);
    EXPECT_EQ(hook.released, 1);
    EXPECT_EQ(hook.step.phase, 2);
    EXPECT_EQ(hook.file, L"calc.xlsx");
    EXPECT_EQ(hook.object, L"P-101");
    EXPECT_EQ(hook.step.done, 3);
    EXPECT_EQ(hook.step.total, 7);
    EXPECT_EQ(hook.step.links, 12);
  }
}

}  // namespace
}  // namespace ovc
