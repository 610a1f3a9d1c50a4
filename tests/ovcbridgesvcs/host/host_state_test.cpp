#include "ovcbridgesvcs/host/host_state.h"

#include <gtest/gtest.h>

#include "automation/error_info.h"
#include "tests/ovcbridgesvcs/host/fake_host.h"

namespace ovc {
namespace {

using host_testing::FakeHost;
using host_testing::RunInFrame;

class HostStateTest : public ::testing::Test {
 protected:
  void SetUp() override { SetErrorInfo(nullptr); }
  void TearDown() override {
    HostState::Current().Clear();
    SetErrorInfo(nullptr);
  }

  FakeHost host_;
};

TEST_F(HostStateTest, FileServiceIsMadeOnFirstNeedAndKeptUntilClear) {
  HostState& state = HostState::Current();
  ComPtr<IOVFileService> first;
  ComPtr<IOVFileService> second;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
              first = state.FileService(frame);
              second = state.FileService(frame);
            }),
            S_OK);
  EXPECT_TRUE(first);
  EXPECT_EQ(first, second);
  EXPECT_EQ(host_.data().file_services_made, 1);
}

TEST_F(HostStateTest, FileServiceThatCannotBeMadeIsRaised) {
  host_.Unregister(CLSID_FileService);
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) { HostState::Current().FileService(frame); }),
            REGDB_E_CLASSNOTREG);
}

TEST_F(HostStateTest, HeldObjectsOutliveClearWhileSomeoneUsesThem) {
  HostState& state = HostState::Current();
  state.set_workspace(host_.NewWorkspace());
  const ComPtr<IOVWorkspace> in_use = state.workspace();
  state.Clear();
  EXPECT_FALSE(state.workspace());
  ASSERT_TRUE(in_use);
  ComPtr<IDispatch> call;
  EXPECT_EQ(in_use->NewDataServiceCall(call.Receive()), S_OK);
}

}  // namespace
}  // namespace ovc
