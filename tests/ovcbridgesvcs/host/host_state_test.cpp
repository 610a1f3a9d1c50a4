#include "ovcbridgesvcs/host/host_state.h"

#include <gtest/gtest.h>

#include <utility>

#include "automation/error_info.h"
#include "tests/ovcbridgesvcs/host/fake_host.h"

namespace ovc {
namespace {

using host_testing::RunInFrame;

TEST(HostStateTest, FileServiceIsMadeOnFirstNeedAndKeptUntilClear) {
  host_testing::FakeHost host;
  HostState& state = HostState::Current();
  ComPtr<IOVFileService> first;
  ComPtr<IOVFileService> second;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
              first = state.FileService(frame);
              state.Replace({});
              second = state.FileService(frame);
            }),
            S_OK);
  EXPECT_TRUE(first);
  EXPECT_EQ(first, second) << "Initialize keeps it";
  state.Clear();
  host.Unregister(CLSID_FileService);
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) { state.FileService(frame); }),
            REGDB_E_CLASSNOTREG);
  SetErrorInfo(nullptr);
}

TEST(HostStateTest, HeldObjectsOutliveClearWhileSomeoneUsesThem) {
  host_testing::FakeHost host;
  HostState& state = HostState::Current();
  HostObjects objects;
  objects.workspace = host.NewWorkspace();
  state.Replace(std::move(objects));
  const ComPtr<IOVWorkspace> in_use = state.workspace();
  state.Clear();
  EXPECT_FALSE(state.workspace());
  ComPtr<IDispatch> call;
  ASSERT_TRUE(in_use);
  EXPECT_EQ(in_use->NewDataServiceCall(call.Receive()), S_OK);
}

}  // namespace
}  // namespace ovc
