#include "ovcbridgesvcs/frame/trace_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ovcbridgesvcs/frame/trace_capture.h"

namespace ovc {
namespace {

using frame_testing::TraceCapture;

TEST(TraceLogTest, EachKindHasItsLayout) {
  const struct {
    TraceKind kind;
    const wchar_t* text;
    const wchar_t* line;
  } cases[] = {
      {TraceKind::kEnter, L"CBridge::Save", L"&OVCE& >>>> Enter CBridge::Save()\n"},
      {TraceKind::kLeave, L"CBridge::Save", L"&OVCE& <<<< Leave CBridge::Save()\n"},
      {TraceKind::kInfo, L"opened", L"&OVCE& ....      opened\n"},
      {TraceKind::kError, L"<OVError HR=\"E_FAIL\" />", L"&OVCE& !!!! <OVError HR=\"E_FAIL\" />\n"},
      {TraceKind::kRuntime, L"QueryInterface", L"&OVCE& .... ATL: QueryInterface\n"},
      {TraceKind::kRuntime, L"Release\n", L"&OVCE& .... ATL: Release\n"},
  };
  for (const auto& c : cases) {
    TraceCapture capture;
    CTraceLog::Instance().Trace(2, c.kind, c.text);
    EXPECT_EQ(capture.lines(), std::vector<std::wstring>{c.line}) << c.text;
  }
}

TEST(TraceLogTest, OnlyLevelsAboveTheThresholdAreWritten) {
  TraceCapture capture;
  CTraceLog::Instance().Trace(0, TraceKind::kInfo, L"zero");
  CTraceLog::Instance().Trace(1, TraceKind::kEnter, L"CBridge::Save");
  CTraceLog::Instance().TraceLocation(1, L"bridge/bridge.cpp", 10, L"one");
  EXPECT_TRUE(capture.lines().empty());
  CTraceLog::Instance().Trace(2, TraceKind::kInfo, L"two");
  EXPECT_EQ(capture.lines().size(), 1u);
}

TEST(TraceLogTest, LocationLine) {
  TraceCapture capture;
  CTraceLog::Instance().TraceLocation(3, L"/src/bridge/bridge.cpp", 217, L"!!!! Failed !!!!");
  EXPECT_EQ(capture.lines(),
            std::vector<std::wstring>{L"&OVCE&/src/bridge/bridge.cpp(217) : !!!! Failed !!!!\n"});
}

TEST(TraceLogTest, RemovedSinkGetsNothingMore) {
  std::vector<std::wstring> before;
  {
    TraceCapture capture;
    CTraceLog::Instance().Trace(3, TraceKind::kInfo, L"first");
    before = capture.lines();
    CTraceLog::Instance().SetSink(nullptr);
    CTraceLog::Instance().Trace(3, TraceKind::kInfo, L"second");
    EXPECT_EQ(capture.lines(), before);
  }
  EXPECT_EQ(before, std::vector<std::wstring>{L"&OVCE& ....      first\n"});
}

}  // namespace
}  // namespace ovc
