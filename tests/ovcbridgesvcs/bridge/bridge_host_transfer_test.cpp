#include <gtest/gtest.h>

#include <string>

#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;

class BridgeHostTransferTest : public bridge_testing::PlantBridgeTest {
 protected:
  void SetUp() override {
    PlantBridgeTest::SetUp();
    ASSERT_EQ(stages_->put_CaseOID(101), S_OK);
  }

  ComPtr<IBridge> bridge_ = NewBridge();
  ComPtr<ILinkSet> pumps_ = AddPumpLinkSet(bridge_.get());
  ComPtr<ILink> stages_ = AddLink(pumps_.get(), L"Stages");
};

TEST_F(BridgeHostTransferTest, ReadFromOrvanResetsTheStatusOnlyWhenTransferring) {
  const std::wstring read = L"Stages of type Integer, read from Orvan\r\n";
  ASSERT_EQ(bridge_->ReadFromOrvan(VARIANT_TRUE, VARIANT_FALSE), S_OK);
  ASSERT_EQ(bridge_->ReadFromOrvan(VARIANT_TRUE, VARIANT_FALSE), S_OK);
  EXPECT_EQ(Got(stages_.get(), &ILink::get_Status),
            L"Read from Orvan:    Object = P-101A\r\n" + read);
  EXPECT_EQ(Got(stages_.get(), &ILink::get_OrvanValue), Variant::I4(1));
  ASSERT_EQ(bridge_->ReadFromOrvan(VARIANT_FALSE, VARIANT_FALSE), S_OK);
  EXPECT_EQ(Got(stages_.get(), &ILink::get_Status),
            L"Read from Orvan:    Object = P-101A\r\n" + read + read);
}

TEST_F(BridgeHostTransferTest, WriteToOrvanStoresThenShowsWhatTheHostHolds) {
  ASSERT_EQ(stages_->put_ReadLocation(L"In"), S_OK);
  ASSERT_EQ(stages_->put_AppValue(Variant::I4(4)), S_OK);
  ASSERT_EQ(stages_->put_ReadValueFromApp(VARIANT_TRUE), S_OK);
  ASSERT_EQ(bridge_->WriteToOrvan(VARIANT_FALSE), S_OK);
  EXPECT_EQ(Got(stages_.get(), &ILink::get_Status),
            L"Write to Orvan:    Object = P-101A\r\nValue\twritten\tto Orvan\r\nStages of type "
            L"Integer, read from Orvan\r\n");
  EXPECT_EQ(Got(stages_.get(), &ILink::get_OrvanValue), Variant::I4(4));
}

}  // namespace
}  // namespace ovc::bridge
