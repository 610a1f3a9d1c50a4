#include "ovcbridgesvcs/host/host_state.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc {
namespace {

using host_testing::RunInFrame;
using HostStateTest = host_testing::PlantTest;

TEST_F(HostStateTest, FileServiceIsMadeOnFirstNeedAndHeldObjectsOutliveClear) {
  HostState& state = HostState::Current();
  ComPtr<IOVFileService> first;
  ComPtr<IOVFileService> second;
  ComPtr<IOVFileService> third;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
              first = state.FileService(frame);
              state.Replace({});
              second = state.FileService(frame);
              state.Clear();
              third = state.FileService(frame);
            }),
            S_OK);
  EXPECT_TRUE(first);
  EXPECT_EQ(first, second) << "Initialize keeps it";
  EXPECT_NE(first, third) << "FinalCleanUp drops it";
  state.Clear();
  const host_testing::ClassWithdrawn withdrawn(CLSID_FileService);
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) { state.FileService(frame); }),
            REGDB_E_CLASSNOTREG);

  // Held objects outlive Clear while someone uses them.
  HostObjects objects;
  objects.workspace = workspace_;
  workspace_.Reset();
  state.Replace(std::move(objects));
  const ComPtr<IOVWorkspace> in_use = state.workspace();
  state.Clear();
  EXPECT_FALSE(state.workspace());
  ASSERT_TRUE(in_use);
  int32_t default_case = 0;
  EXPECT_EQ(in_use->get_DefaultCase(&default_case), S_OK);
  EXPECT_EQ(default_case, 101);
}

}  // namespace
}  // namespace ovc
