#include "ovcbridgesvcs/frame/run_method.h"

#include <gtest/gtest.h>

#include <source_location>
#include <stdexcept>
#include <string>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "tests/ovcbridgesvcs/frame/trace_capture.h"

namespace ovc {
namespace {

constexpr HRESULT kHostFailure = static_cast<HRESULT>(0x80040321);

// The description of the thread's error object, which is taken.
std::wstring TakeThreadDescription() { return DescriptionOf(GetErrorInfo().get()); }

class RunMethodTest : public ::testing::Test {
 protected:
  void SetUp() override { SetErrorInfo(nullptr); }
  void TearDown() override { SetErrorInfo(nullptr); }
};

TEST_F(RunMethodTest, SuccessfulBodyReturnsTheFramesCode) {
  CMethodFrame frame(L"CBridge::get_Name");
  EXPECT_EQ(RunMethod(frame, [] {}), S_OK);
  EXPECT_FALSE(GetErrorInfo());

  CMethodFrame with_code(L"CBridge::get_Dirty");
  EXPECT_EQ(RunMethod(with_code, [] { return S_FALSE; }), S_FALSE);
}

TEST_F(RunMethodTest, RaiseInTheSameFrameKeepsOneRecord) {
  frame_testing::TraceCapture trace;
  CMethodFrame frame(L"CBridge::Item");
  const HRESULT hr = RunMethod(frame, [&] {
    RaiseError(frame, std::source_location::current(), E_INVALIDARG, LoadMessage(1108));
  });
  EXPECT_EQ(hr, E_INVALIDARG);
  EXPECT_EQ(TakeThreadDescription(),
            L"<OVError Desc=\"Bridge Collection:  LinkSet index is out of range\" "
            L"HR=\"E_INVALIDARG\" />");
  EXPECT_TRUE(trace.Contains(L" ....      ~~~~ Caught OVComException ~~~~\n"));
}

TEST_F(RunMethodTest, FailureOfAnotherFrameGetsARecordForThisMethod) {
  const auto inner = [] {
    CMethodFrame frame(L"CLink::ReadFromApp");
    RaiseError(frame, std::source_location::current(), kHostFailure, L"Read failed");
  };
  CMethodFrame frame(L"CLinkSet::ReadFromApp", L"reading links");
  const HRESULT hr = RunMethod(frame, inner);

  EXPECT_EQ(hr, kHostFailure);
  const ComPtr<IErrorInfo> error = GetErrorInfo();
  EXPECT_EQ(DescriptionOf(error.get()),
            L"<OVError Desc=\"Read failed\" Activity=\"reading links\" HR=\"0x80040321\" />\r\n"
            L"<OVError Desc=\"Read failed\" HR=\"0x80040321\" />");
  std::wstring source;
  error->GetSource(&source);
  EXPECT_EQ(source, L"CLinkSet::ReadFromApp");
}

TEST_F(RunMethodTest, CheckedForeignFailureIsChained) {
  CMethodFrame frame(L"CBridge::Save");
  const HRESULT hr = RunMethod(frame, [&] {
    SetErrorInfo(CreateErrorInfo(L"The database is read-only", L"Orvan.DataService"));
    CheckAndRaise(frame, kHostFailure);
  });
  EXPECT_EQ(hr, kHostFailure);
  EXPECT_EQ(TakeThreadDescription(),
            L"<OVError Desc=\"The database is read-only\" HR=\"0x80040321\" />\r\n"
            L"<OVError Desc=\"The database is read-only\" Src=\"Orvan.DataService\" "
            L"HR=\"0x80040321\" />");
}

TEST_F(RunMethodTest, ComErrorIsTakenOverLikeOVComException) {
  CMethodFrame frame(L"CExcelApp::OpenFile");
  const HRESULT hr = RunMethod(frame, [] {
    throw ComError(E_ACCESSDENIED, CreateErrorInfo(L"Book1.xlsx is open elsewhere", L"Excel"));
  });
  EXPECT_EQ(hr, E_ACCESSDENIED);
  EXPECT_EQ(TakeThreadDescription(),
            L"<OVError Desc=\"Book1.xlsx is open elsewhere\" HR=\"E_ACCESSDENIED\" />\r\n"
            L"<OVError Desc=\"Book1.xlsx is open elsewhere\" Src=\"Excel\" "
            L"HR=\"E_ACCESSDENIED\" />");
}

TEST_F(RunMethodTest, ComErrorWithoutErrorObjectUsesTheCodesText) {
  CMethodFrame frame(L"CWordApp::Save");
  EXPECT_EQ(RunMethod(frame, [] { throw ComError(E_OUTOFMEMORY); }), E_OUTOFMEMORY);
  EXPECT_EQ(TakeThreadDescription(),
            L"<OVError Desc=\"Not enough memory resources are available to complete this "
            L"operation.\" HR=\"E_OUTOFMEMORY\" />");
}

TEST_F(RunMethodTest, OtherExceptionsPassThroughUnchanged) {
  frame_testing::TraceCapture trace;
  CMethodFrame frame(L"CBridge::Save");
  try {
    RunMethod(frame, [] { throw std::out_of_range("position 7"); });
    FAIL() << "the exception was swallowed";
  } catch (const std::out_of_range& error) {
    EXPECT_STREQ(error.what(), "position 7");
  }
  EXPECT_TRUE(trace.Contains(L") : !!!! Unhandled Exception !!!!\n"));

  CMethodFrame other(L"CBridge::Open");
  EXPECT_THROW(RunMethod(other, [] { throw 42; }), int);
}

TEST_F(RunMethodTest, RaiseWithoutFailureCodeStillFails) {
  CMethodFrame frame(L"CBridge::Validate");
  const HRESULT hr = RunMethod(frame, [&] {
    CheckResult(frame, S_FALSE);
    RaiseError(frame, std::source_location::current(), std::nullopt, L"No links");
  });
  EXPECT_EQ(hr, E_FAIL);
  EXPECT_EQ(TakeThreadDescription(), L"<OVError Desc=\"No links\" HR=\"E_FAIL\" />");
}

TEST_F(RunMethodTest, RaisedCodeReplacesTheFramesCode) {
  CMethodFrame frame(L"CApp::Open");
  const HRESULT hr = RunMethod(frame, [&] {
    CheckResult(frame, E_FAIL);
    RaiseError(frame, std::source_location::current(), E_POINTER);
  });
  EXPECT_EQ(hr, E_POINTER);
}

TEST_F(RunMethodTest, CheckResultTakesTheThreadsErrorOnlyOnFailure) {
  CMethodFrame frame(L"CApp::Open");
  const ComPtr<IErrorInfo> error = CreateErrorInfo(L"x", L"y");
  SetErrorInfo(error);
  EXPECT_EQ(CheckResult(frame, S_OK), S_OK);
  EXPECT_FALSE(frame.error);
  EXPECT_EQ(GetErrorInfo(), error) << "success leaves the thread's error alone";

  SetErrorInfo(error);
  EXPECT_EQ(CheckResult(frame, E_FAIL), E_FAIL);
  EXPECT_EQ(frame.error, error);
  EXPECT_FALSE(GetErrorInfo());

  CheckResult(frame, S_FALSE);
  EXPECT_EQ(frame.hr, S_FALSE);
  EXPECT_FALSE(frame.error);
}

TEST_F(RunMethodTest, MessageTemplatesAreFilledSafely) {
  const struct {
    const wchar_t* name;
    void (*raise)(CMethodFrame&);
    const wchar_t* desc;
  } cases[] = {
      {L"filled",
       [](CMethodFrame& frame) {
         RaiseError(frame, std::source_location::current(), E_FAIL, LoadMessage(1296),
                    std::wstring(L"Pumps"), std::wstring(L"Equipment"));
       },
       L"Skipping linkset Pumps with class view Equipment. A linkset with the same class view "
       L"already processed."},
      {L"number",
       [](CMethodFrame& frame) {
         RaiseError(frame, std::source_location::current(), E_FAIL, L"%ld linksets", 12);
       },
       L"12 linksets"},
      {L"missing argument",
       [](CMethodFrame& frame) {
         RaiseError(frame, std::source_location::current(), E_FAIL, LoadMessage(1295),
                    std::wstring(L"Pumps"));
       },
       L"Object Binding already set for linkset %s, (linkset # %ld); Do you wish to "
       L"over-write?"},
      {L"data is no template",
       [](CMethodFrame& frame) {
         RaiseError(frame, std::source_location::current(), E_FAIL,
                    L"Range name not found:  100%s%n");
       },
       L"Range name not found:  100%s%n"},
  };
  for (const auto& c : cases) {
    SetErrorInfo(nullptr);
    CMethodFrame frame(L"CBridge::CopyBindings");
    RunMethod(frame, [&] { c.raise(frame); });
    EXPECT_EQ(ExtractDesc(TakeThreadDescription()), c.desc) << c.name;
  }
}

}  // namespace
}  // namespace ovc
