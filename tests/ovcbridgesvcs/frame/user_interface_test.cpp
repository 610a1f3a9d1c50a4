#include "ovcbridgesvcs/frame/user_interface.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/ovcbridgesvcs/frame/scripted_user_interface.h"
#include "tests/ovcbridgesvcs/frame/trace_capture.h"

namespace ovc {
namespace {

// The answers a program without a person gets.
void ExpectDefaultAnswers() {
  EXPECT_EQ(ShowMessageBox(L"text", L"Warning", kBoxOk), kAnswerOk);
  EXPECT_EQ(ShowMessageBox(L"text", L"Warning", kBoxYesNoCancel), kAnswerYes);
  EXPECT_EQ(AskConfirmation(L"Overwrite?", L"Confirm"), Confirmation::kYes);
  EXPECT_EQ(AskLocationNumbering(), (LocationNumbering{L"_", 0, 1}));
}

// An installed service that answers is checked through the scripting
// layer's callbacks.
TEST(UserInterfaceTest, DefaultAnswersWithoutAPersonOrWhenTheServiceThrows) {
  frame_testing::TraceCapture trace;
  ExpectDefaultAnswers();
  EXPECT_TRUE(trace.Contains(L"\"Warning\": text"));
  EXPECT_TRUE(trace.Contains(L"\"Confirm\": Overwrite?"));
  auto scripted = std::make_shared<frame_testing::ScriptedInterface>();
  scripted->fail = true;
  SetUserInterface(scripted);
  ExpectDefaultAnswers();
  SetUserInterface(nullptr);
}

}  // namespace
}  // namespace ovc
