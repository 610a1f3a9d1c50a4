#include <gtest/gtest.h>

#include <string>

#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;

class BridgeOperationsTest : public bridge_testing::PlantBridgeTest {
 protected:
  ComPtr<IBridge> bridge_ = NewBridge();
};

TEST_F(BridgeOperationsTest, FinalStatusMarksOnlyTheLinksOfEnabledLinkSets) {
  const ComPtr<ILinkSet> disabled = AddPumpLinkSet(bridge_.get());
  const ComPtr<ILinkSet> enabled = AddPumpLinkSet(bridge_.get());
  ASSERT_EQ(disabled->put_Enabled(VARIANT_FALSE), S_OK);
  const ComPtr<ILink> skipped = AddLink(disabled.get(), L"Stages");
  const ComPtr<ILink> marked = AddLink(enabled.get(), L"Stages");
  for (ILink* link : {skipped.get(), marked.get()}) {
    ASSERT_EQ(link->put_WriteLocation(L"Out"), S_OK);
  }
  ASSERT_EQ(bridge_->FinalStatus(ovWriteToApp), S_OK);
  EXPECT_EQ(Got(marked.get(), &ILink::get_Status), L"Value never written to Application(s)\r\n");
  EXPECT_EQ(Got(marked.get(), &ILink::get_Error), VARIANT_TRUE);
  EXPECT_EQ(Got(skipped.get(), &ILink::get_Status), L"");
}

}  // namespace
}  // namespace ovc::bridge
