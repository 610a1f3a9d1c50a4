#include "ovcbridgesvcs/host/data_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "automation/error_info.h"
#include "automation/safe_array.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc {
namespace {

using host_testing::RunInFrame;
using host_testing::TakeDesc;
using host_testing::TakeThreadError;
using ::testing::HasSubstr;

constexpr DataServiceFailureTexts kTexts = {L"no call", L"no execute", L"no response"};

using DataServiceTest = host_testing::PlantTest;

// The request text reaching the host is checked by the bridge list's test.
TEST_F(DataServiceTest, ParametersReachTheHostAndItsAnswerComesBack) {
  const DataServiceParameter tanks[] = {{L"FilterView", Variant(L"Tanks")}};
  std::wstring objects;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
              objects = CallDataService(frame, workspace_.get(),
                                        {kGenericService, L"ListObjects", L"", tanks});
            }),
            S_OK);
  EXPECT_THAT(objects, HasSubstr(L"T-201"));
  EXPECT_THAT(objects, ::testing::Not(HasSubstr(L"P-101A")));
}

TEST_F(DataServiceTest, FirstFailingStepIsNamedAndRaisedWithItsText) {
  const DataServiceParameter array[] = {{L"FilterView", Variant(SafeArray::Vector(VT_I4, 2))}};
  IOVWorkspace* const plant = workspace_.get();
  using Step = DataServiceStep;
  const struct {
    IOVWorkspace* workspace;
    DataServiceRequest request;
    DataServiceStep step;
    HRESULT code;
    const wchar_t* says;
  } cases[] = {
      {nullptr, {kBridgeService, L"ListBridges"}, Step::kNewCall, E_POINTER, L"no call"},
      {plant,
       {kGenericService, L"ListObjects", L"", array},
       Step::kSetUp,
       DISP_E_TYPEMISMATCH,
       L"FilterView"},
      {plant, {kBridgeService, L"NoSuchMethod"}, Step::kExecute, E_INVALIDARG, L"no execute"},
  };
  for (const auto& c : cases) {
    std::wstring response = L"unchanged";
    DataServiceStep step = DataServiceStep::kNone;
    EXPECT_EQ(RunDataServiceCall(c.workspace, c.request, &response, &step), c.code) << c.says;
    EXPECT_EQ(step, c.step) << c.says;
    EXPECT_EQ(response, L"unchanged");
    EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
                CallDataService(frame, c.workspace, c.request, kTexts);
              }),
              c.code);
    EXPECT_THAT(TakeDesc(), HasSubstr(c.says));
  }
}

TEST_F(DataServiceTest, ReportedFailureCarriesTheStepsTextOrIsRaised) {
  HRESULT reported = S_OK;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
              reported = ReportDataServiceFailure(frame, CLSID_Bridge, E_ACCESSDENIED,
                                                  DataServiceStep::kResponse, kTexts);
            }),
            S_OK);
  EXPECT_EQ(reported, E_ACCESSDENIED);
  EXPECT_EQ(TakeThreadError(),
            host_testing::ThreadError(L"no response", L"OVCBridgeSvcs.Bridge.380"));

  SetErrorResult(E_INVALIDARG, L"bad method", L"Host");
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
              ReportDataServiceFailure(frame, CLSID_Bridge, E_INVALIDARG, DataServiceStep::kSetUp,
                                       kTexts);
            }),
            E_INVALIDARG);
  EXPECT_EQ(TakeDesc(), L"bad method");
}

}  // namespace
}  // namespace ovc
