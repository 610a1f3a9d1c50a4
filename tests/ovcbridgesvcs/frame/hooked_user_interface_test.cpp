#include "ovcbridgesvcs/frame/hooked_user_interface.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "ovcbridgesvcs/frame/user_interface.h"
#include "tests/ovcbridgesvcs/frame/trace_capture.h"

namespace ovc {
namespace {

int32_t released = 0;

OvcUserInterfaceHooks HooksAnswering(int32_t (*box)(void*, const wchar_t*, const wchar_t*,
                                                    uint32_t),
                                     int32_t (*numbering)(void*, OvcNumbering*)) {
  return {nullptr, box, nullptr, numbering, [](void*) { ++released; }};
}

// A service whose every question throws.
struct Throwing final : UserInterface {
  [[noreturn]] static void Fail() { throw std::runtime_error("no terminal"); }
  int32_t MessageBox(std::wstring_view, std::wstring_view, uint32_t) override { Fail(); }
  Confirmation Confirm(std::wstring_view, std::wstring_view) override { Fail(); }
  LocationNumbering AskNumbering(const LocationNumbering&) override { Fail(); }
};

// The answers a program without a person gets.
void ExpectDefaultAnswers() {
  EXPECT_EQ(ShowMessageBox(L"text", L"Warning", kBoxOk), kAnswerOk);
  EXPECT_EQ(ShowMessageBox(L"text", L"Warning", kBoxYesNoCancel), kAnswerYes);
  EXPECT_EQ(AskConfirmation(L"Overwrite?", L"Confirm"), Confirmation::kYes);
  EXPECT_EQ(AskLocationNumbering(), (LocationNumbering{L"_", 0, 1}));
}

TEST(UserInterfaceTest, DefaultAnswersWithoutAPersonOrWhenTheServiceThrows) {
  frame_testing::TraceCapture trace;
  ExpectDefaultAnswers();
  EXPECT_TRUE(trace.Contains(L"\"Warning\": text"));
  EXPECT_TRUE(trace.Contains(L"\"Confirm\": Overwrite?"));
  SetUserInterface(std::make_shared<Throwing>());
  ExpectDefaultAnswers();
  SetUserInterface(nullptr);
}

TEST(HookedUserInterfaceTest, HooksAnswerAndMissingOrFailingOnesGetTheDefault) {
  const auto cancel = [](void*, const wchar_t*, const wchar_t*, uint32_t) { return 2; };
  const auto broken = [](void*, const wchar_t*, const wchar_t*, uint32_t) { return -1; };
  const auto wider = [](void*, OvcNumbering* values) {
    values->delimiter = L"-";
    values->digits = 3;
    return 0;
  };
  const LocationNumbering offered{L"_", 0, 5};
  released = 0;
  {
    const auto asking = MakeHookedUserInterface(HooksAnswering(cancel, wider));
    EXPECT_EQ(asking->MessageBox(L"Go on?", L"Warning", kBoxYesNo), kAnswerCancel);
    EXPECT_EQ(asking->AskNumbering(offered), (LocationNumbering{L"-", 3, 5}));
    EXPECT_EQ(asking->Confirm(L"Replace?", L"Names"), Confirmation::kYes);

    const auto failing = MakeHookedUserInterface(HooksAnswering(broken, nullptr));
    EXPECT_EQ(failing->MessageBox(L"Go on?", L"Warning", kBoxYesNo), kAnswerYes);
    EXPECT_EQ(failing->AskNumbering(offered), offered);
    EXPECT_EQ(released, 0);
  }
  EXPECT_EQ(released, 2);
}

}  // namespace
}  // namespace ovc
