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

using host_testing::RunInFrame;
using host_testing::TakeThreadError;
using ::testing::HasSubstr;

constexpr DataServiceFailureTexts kTexts = {L"no call", L"no execute", L"no response"};

class DataServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { host_.data().responses[L"CreateBridge"] = L"<Bridge OID=\"4\"/>"; }
  void TearDown() override { SetErrorInfo(nullptr); }

  host_testing::FakeHost host_;
  ComPtr<IOVWorkspace> workspace_ = host_.NewWorkspace();
};

TEST_F(DataServiceTest, CallIsSetUpExecutedAndAnsweredInOrder) {
  const DataServiceParameter parameters[] = {{L"FilterView", Variant(L"Pumps")},
                                             {L"Limit", Variant(5)}};
  std::wstring response;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
              response = CallDataService(
                  frame, workspace_.get(),
                  {kGenericService, L"CreateBridge", L"<Bridge OID=\"3\"/>", parameters});
            }),
            S_OK);
  EXPECT_EQ(response, L"<Bridge OID=\"4\"/>");
  ASSERT_EQ(host_.data().calls.size(), 1u);
  const host_testing::RecordedCall& call = host_.data().calls[0];
  EXPECT_EQ(call.option, 0);
  EXPECT_EQ(call.service, L"OVDBGenericSvcs.Main");
  EXPECT_EQ(call.request, L"<Bridge OID=\"3\"/>");
  EXPECT_THAT(call.parameters, ::testing::ElementsAre(L"FilterView=Pumps", L"Limit=5"));
  EXPECT_EQ(call.execute_flags, 0);
}

TEST_F(DataServiceTest, FirstFailingStepIsNamedAndRaisedWithItsText) {
  const struct {
    const wchar_t* member;
    DataServiceStep step;
    const wchar_t* text;
  } cases[] = {
      {L"NewDataServiceCall", DataServiceStep::kNewCall, L"no call"},
      {L"RequestText", DataServiceStep::kSetUp, L"RequestText failed"},
      {L"Execute", DataServiceStep::kExecute, L"no execute"},
      {L"ResponseText", DataServiceStep::kResponse, L"no response"},
  };
  for (const auto& c : cases) {
    host_.data().calls.clear();
    host_.data().failures = {{c.member, E_ACCESSDENIED}};
    std::wstring response = L"unchanged";
    DataServiceStep step = DataServiceStep::kNone;
    EXPECT_EQ(
        RunDataServiceCall(workspace_.get(), {kBridgeService, L"CreateBridge"}, &response, &step),
        E_ACCESSDENIED);
    EXPECT_EQ(step, c.step) << c.member;
    EXPECT_EQ(response, L"unchanged");
    EXPECT_EQ(!host_.data().calls.empty() && host_.data().calls[0].executed,
              c.step >= DataServiceStep::kExecute);

    EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
                CallDataService(frame, workspace_.get(), {kBridgeService, L"CreateBridge"}, kTexts);
              }),
              E_ACCESSDENIED);
    const std::wstring description = TakeThreadError().description;
    EXPECT_EQ(ExtractDesc(description), c.text);
    EXPECT_THAT(description, HasSubstr(std::wstring(c.member) + L" failed"));
  }
}

TEST_F(DataServiceTest, ReportedFailureCarriesTheStepsTextOrIsRaised) {
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
