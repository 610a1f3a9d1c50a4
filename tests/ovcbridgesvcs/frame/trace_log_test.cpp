#include "ovcbridgesvcs/frame/trace_log.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "tests/ovcbridgesvcs/frame/trace_capture.h"

namespace ovc {
namespace {

using frame_testing::TraceCapture;

// Each kind has its layout; a sink that throws fails no method.
TEST(TraceLogTest, EachKindHasItsLayoutAndASinkThatThrowsFailsNoMethod) {
  TraceCapture capture;
  const CTraceLog& log = CTraceLog::Instance();
  log.Trace(2, TraceKind::kEnter, L"CBridge::Save");
  log.Trace(2, TraceKind::kLeave, L"CBridge::Save");
  log.Trace(2, TraceKind::kInfo, L"opened");
  log.Trace(2, TraceKind::kError, L"<OVError />");
  log.Trace(2, TraceKind::kRuntime, L"QueryInterface");
  log.Trace(2, TraceKind::kRuntime, L"Release\n");
  log.TraceLocation(3, L"/src/bridge.cpp", 217, L"!!!! Failed !!!!");
  log.Trace(1, TraceKind::kInfo, L"at the threshold: not written");
  EXPECT_EQ(capture.lines(), (std::vector<std::wstring>{
                                 L"&OVCE& >>>> Enter CBridge::Save()\n",
                                 L"&OVCE& <<<< Leave CBridge::Save()\n",
                                 L"&OVCE& ....      opened\n",
                                 L"&OVCE& !!!! <OVError />\n",
                                 L"&OVCE& .... ATL: QueryInterface\n",
                                 L"&OVCE& .... ATL: Release\n",
                                 L"&OVCE&/src/bridge.cpp(217) : !!!! Failed !!!!\n",
                             }));
  struct Throwing : TraceSink {
    void Write(std::wstring_view) override { throw std::bad_alloc(); }
  };
  CTraceLog::Instance().SetSink(std::make_shared<Throwing>());
  CMethodFrame frame(L"CBridge::Save");
  EXPECT_EQ(RunMethod(frame, [&] { CheckAndRaise(frame, E_ACCESSDENIED); }), E_ACCESSDENIED);
  CTraceLog::Instance().SetSink(nullptr);
  SetErrorInfo(nullptr);
}

}  // namespace
}  // namespace ovc
