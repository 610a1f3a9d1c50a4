#include "ovcbridgesvcs/frame/run_method.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "automation/error_info.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/source_location.h"
#include "tests/ovcbridgesvcs/frame/trace_capture.h"

namespace ovc {
namespace {

constexpr HRESULT kHostFailure = static_cast<HRESULT>(0x80040321);

class RunMethodTest : public ::testing::Test {
 protected:
  void SetUp() override { SetErrorInfo(nullptr); }
  void TearDown() override { SetErrorInfo(nullptr); }
};

// The body's code is the method's status; CheckResult takes the thread's
// error only on failure; the activity names what the method was doing.
TEST_F(RunMethodTest, StatusCheckedResultsAndActivity) {
  CMethodFrame frame(L"CBridge::Save");
  EXPECT_EQ(RunMethod(frame, [] {}), S_OK);
  EXPECT_FALSE(GetErrorInfo());
  EXPECT_EQ(RunMethod(frame, [] { return S_FALSE; }), S_FALSE);
  const ComPtr<IErrorInfo> error = CreateErrorInfo(L"x", L"y");
  SetErrorInfo(error);
  EXPECT_EQ(CheckResult(frame, S_OK), S_OK);
  EXPECT_EQ(GetErrorInfo(), error) << "success leaves the thread's error alone";
  SetErrorInfo(error);
  EXPECT_EQ(CheckResult(frame, E_FAIL), E_FAIL);
  EXPECT_EQ(frame.error, error);
  CMethodFrame saving(L"CBridge::Save");
  saving.activity = L"saving \"B1\"";
  EXPECT_EQ(RunMethod(saving, [&] { CheckAndRaise(saving, kHostFailure); }), kHostFailure);
  EXPECT_EQ(TakeErrorDescription(),
            L"<OVError Desc=\"Error while saving 'B1' (Unknown error 0x80040321)\" "
            L"Activity=\"saving 'B1'\" HR=\"0x80040321\" />");
}

TEST_F(RunMethodTest, FailuresBecomeTheMethodsErrorChain) {
  const struct {
    std::function<void(CMethodFrame&)> body;
    HRESULT code;
    const wchar_t* chain;
  } cases[] = {
      {[](CMethodFrame& frame) {
         RaiseError(frame, SourceLocation::Current(), E_INVALIDARG, LoadMessage(1108));
       },
       E_INVALIDARG,
       L"<OVError Desc=\"Bridge Collection:  LinkSet index is out of range\" "
       L"HR=\"E_INVALIDARG\" />"},
      {[](CMethodFrame&) {
         CMethodFrame inner(L"CLink::ReadFromApp");
         RaiseError(inner, SourceLocation::Current(), kHostFailure, L"Read failed");
       },
       kHostFailure,
       L"<OVError Desc=\"Read failed\" HR=\"0x80040321\" />\r\n"
       L"<OVError Desc=\"Read failed\" HR=\"0x80040321\" />"},
      {[](CMethodFrame&) {
         throw ComError(E_ACCESSDENIED, CreateErrorInfo(L"Book1 is open", L"Excel"));
       },
       E_ACCESSDENIED,
       L"<OVError Desc=\"Book1 is open\" HR=\"E_ACCESSDENIED\" />\r\n"
       L"<OVError Desc=\"Book1 is open\" Src=\"Excel\" HR=\"E_ACCESSDENIED\" />"},
      {[](CMethodFrame& frame) {
         CheckResult(frame, S_FALSE);
         RaiseError(frame, SourceLocation::Current(), std::nullopt, L"No links");
       },
       E_FAIL, L"<OVError Desc=\"No links\" HR=\"E_FAIL\" />"},
      {[](CMethodFrame& frame) {
         CheckResult(frame, kHostFailure);  // an earlier failure is not chained
         throw std::bad_alloc();
       },
       E_OUTOFMEMORY,
       L"<OVError Desc=\"Not enough memory resources are available to complete this "
       L"operation.\" HR=\"E_OUTOFMEMORY\" />"},
      {[](CMethodFrame&) { throw std::out_of_range("position 7"); }, E_UNEXPECTED,
       L"<OVError Desc=\"Unhandled C++ exception (std::out_of_range): position 7\" "
       L"HR=\"E_UNEXPECTED\" />"},
  };
  frame_testing::TraceCapture trace;
  for (const auto& c : cases) {
    CMethodFrame frame(L"CLinkSet::ReadFromApp");
    EXPECT_EQ(RunMethod(frame, [&] { c.body(frame); }), c.code) << ToUtf8(c.chain);
    const ComPtr<IErrorInfo> error = GetErrorInfo();
    EXPECT_EQ(DescriptionOf(error.get()), c.chain);
    EXPECT_EQ(SourceOf(error.get()), L"CLinkSet::ReadFromApp");
  }
  EXPECT_TRUE(trace.Contains(L" ....      ~~~~ Caught OVComException ~~~~\n"));
  EXPECT_TRUE(trace.Contains(L") : !!!! Unhandled Exception !!!!\n"));
}

// A missing argument or a text that is no template leaves the text as it is.
TEST_F(RunMethodTest, MessageTemplatesAreFilledSafely) {
  const auto raised = [](const auto&... args) {
    CMethodFrame frame(L"CBridge::CopyBindings");
    RunMethod(frame, [&] { RaiseError(frame, SourceLocation::Current(), E_FAIL, args...); });
    return ExtractDesc(TakeErrorDescription());
  };
  const std::wstring pumps = L"Pumps";
  EXPECT_EQ(raised(LoadMessage(1301), std::wstring(L"P-1"), pumps, 3, std::wstring(L"Equipment")),
            L"\r\nObject P-1 bound to linkset Pumps (linkset # 3) with classview Equipment.\r\n");
  EXPECT_EQ(raised(L"linkset %s, # %ld", pumps), L"linkset %s, # %ld");
  EXPECT_EQ(raised(L"not found:  100%s%n"), L"not found:  100%s%n");
}

}  // namespace
}  // namespace ovc
