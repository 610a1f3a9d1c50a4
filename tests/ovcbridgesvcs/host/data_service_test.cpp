#include "ovcbridgesvcs/host/data_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "tests/ovcbridgesvcs/host/fake_host.h"

namespace ovc {
namespace {

using host_testing::FakeHost;
using host_testing::RunInFrame;
using host_testing::TakeThreadError;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr DataServiceFailureTexts kTexts = {L"no call", L"no execute", L"no response"};

class DataServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetErrorInfo(nullptr);
    workspace_ = host_.NewWorkspace();
    host_.data().responses[L"CreateBridge"] = L"<Bridge OID=\"4\"/>";
  }
  void TearDown() override { SetErrorInfo(nullptr); }

  FakeHost host_;
  ComPtr<IOVWorkspace> workspace_;
};

TEST_F(DataServiceTest, CallIsSetUpExecutedAndAnsweredInOrder) {
  const DataServiceParameter parameters[] = {{L"FilterView", Variant(L"Pumps")},
                                             {L"Limit", Variant(5)}};
  std::wstring response;
  DataServiceStep step = DataServiceStep::kNewCall;
  ASSERT_EQ(
      RunDataServiceCall(workspace_.get(),
                         {kGenericService, L"CreateBridge", L"<Bridge OID=\"3\"/>", parameters},
                         &response, &step),
      S_OK);
  EXPECT_EQ(response, L"<Bridge OID=\"4\"/>");
  EXPECT_EQ(step, DataServiceStep::kNone);
  ASSERT_EQ(host_.data().calls.size(), 1u);
  const host_testing::RecordedCall& call = host_.data().calls[0];
  EXPECT_EQ(call.option, 0);
  EXPECT_EQ(call.service, L"OVDBGenericSvcs.Main");
  EXPECT_EQ(call.method, L"CreateBridge");
  EXPECT_EQ(call.request, L"<Bridge OID=\"3\"/>");
  EXPECT_THAT(call.parameters, ElementsAre(L"FilterView=Pumps", L"Limit=5"));
  EXPECT_TRUE(call.executed);
  EXPECT_EQ(call.execute_flags, 0);
}

TEST_F(DataServiceTest, FirstFailingStepIsNamedAndLaterStepsDoNotRun) {
  const struct {
    const wchar_t* member;
    DataServiceStep step;
    bool executed;
  } cases[] = {
      {L"NewDataServiceCall", DataServiceStep::kNewCall, false},
      {L"Option", DataServiceStep::kSetUp, false},
      {L"ServiceName", DataServiceStep::kSetUp, false},
      {L"MethodName", DataServiceStep::kSetUp, false},
      {L"RequestText", DataServiceStep::kSetUp, false},
      {L"Execute", DataServiceStep::kExecute, true},
      {L"ResponseText", DataServiceStep::kResponse, true},
  };
  for (const auto& c : cases) {
    host_.data().calls.clear();
    host_.data().failures = {{c.member, E_ACCESSDENIED}};
    std::wstring response = L"unchanged";
    DataServiceStep step = DataServiceStep::kNone;
    EXPECT_EQ(
        RunDataServiceCall(workspace_.get(), {kBridgeService, L"CreateBridge"}, &response, &step),
        E_ACCESSDENIED)
        << c.member;
    EXPECT_EQ(step, c.step) << c.member;
    EXPECT_EQ(response, L"unchanged");
    EXPECT_EQ(!host_.data().calls.empty() && host_.data().calls[0].executed, c.executed);
    EXPECT_EQ(TakeThreadError().description, std::wstring(c.member) + L" failed");
  }
}

TEST_F(DataServiceTest, NullWorkspaceFailsAtTheNewCall) {
  std::wstring response;
  DataServiceStep step = DataServiceStep::kNone;
  EXPECT_EQ(RunDataServiceCall(nullptr, {kBridgeService, L"ListBridges"}, &response, &step),
            E_POINTER);
  EXPECT_EQ(step, DataServiceStep::kNewCall);
}

TEST_F(DataServiceTest, CallDataServiceRaisesWithTheStepsTextOverTheComponentsRecord) {
  const struct {
    const wchar_t* member;
    const wchar_t* text;
  } cases[] = {{L"NewDataServiceCall", L"no call"},
               {L"Execute", L"no execute"},
               {L"ResponseText", L"no response"},
               {L"MethodName", L"MethodName failed"}};
  for (const auto& c : cases) {
    host_.data().failures = {{c.member, E_ACCESSDENIED}};
    EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
                CallDataService(frame, workspace_.get(), {kBridgeService, L"CreateBridge"}, kTexts);
              }),
              E_ACCESSDENIED);
    const std::wstring description = TakeThreadError().description;
    EXPECT_EQ(ExtractDesc(description), c.text) << c.member;
    EXPECT_THAT(description, HasSubstr(std::wstring(c.member) + L" failed"));
  }
}

TEST_F(DataServiceTest, CallDataServiceReturnsTheResponse) {
  std::wstring response;
  ASSERT_EQ(
      RunInFrame([&](CMethodFrame& frame) {
        response = CallDataService(frame, workspace_.get(), {kBridgeService, L"CreateBridge"});
      }),
      S_OK);
  EXPECT_EQ(response, L"<Bridge OID=\"4\"/>");
}

TEST_F(DataServiceTest, ReportedFailureCarriesTheStepsTextAndCode) {
  HRESULT reported = S_OK;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
              reported = ReportDataServiceFailure(frame, CLSID_Bridge, E_ACCESSDENIED,
                                                  DataServiceStep::kExecute, kTexts);
            }),
            S_OK);
  EXPECT_EQ(reported, E_ACCESSDENIED);
  const host_testing::ThreadError error = TakeThreadError();
  EXPECT_EQ(error.description, L"no execute");
  EXPECT_EQ(error.source, L"OVCBridgeSvcs.Bridge.380");
}

TEST_F(DataServiceTest, ReportedFailureOfAStepWithoutTextIsRaised) {
  SetErrorResult(E_INVALIDARG, L"bad method", L"FakeHost");
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
              ReportDataServiceFailure(frame, CLSID_Bridge, E_INVALIDARG, DataServiceStep::kSetUp,
                                       kTexts);
            }),
            E_INVALIDARG);
  EXPECT_EQ(ExtractDesc(TakeThreadError().description), L"bad method");
}

}  // namespace
}  // namespace ovc
