// Calls back into a Bridge from user code it waits for: properties read,
// everything else is refused until the user code returns.
#include <gtest/gtest.h>

#include <string>

#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "tests/automation/late_bound.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::bridge {
namespace {

using dispatch_testing::LateBound;

class BridgeReentryTest : public bridge_testing::PlantBridgeTest {};

TEST_F(BridgeReentryTest, UserCodeReadsPropertiesAndIsRefusedTheRest) {
  const ComPtr<IBridge> bridge = NewBridge();
  const ComPtr<ILinkSet> link_set = AddPumpLinkSet(bridge.get());
  LateBound script_bridge(bridge);
  LateBound script_link_set(link_set);
  LateBound script_link(AddLink(link_set.get(), L"Flow"));

  const UserCodeScope user_code;
  const struct {
    LateBound* object;
    std::wstring member;
    uint16_t flags;
    std::vector<Variant> args;
    bool refused;
  } cases[] = {
      {&script_bridge, L"Count", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, false},
      {&script_bridge, L"Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {Variant::I4(0)}, false},
      {&script_link, L"AttribName", DISPATCH_PROPERTYGET, {}, false},
      {&script_bridge, L"Remove", DISPATCH_METHOD, {Variant::I4(0)}, true},
      {&script_bridge, L"AutoRun", DISPATCH_METHOD, {Variant::Bool(false)}, true},
      {&script_bridge, L"Name", DISPATCH_PROPERTYPUT, {Variant(L"renamed")}, true},
      {&script_link_set, L"RemoveAll", DISPATCH_METHOD, {}, true},
      {&script_link, L"AttribName", DISPATCH_PROPERTYPUT, {Variant(L"Head")}, true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(ToUtf8(test.member));
    Variant result;
    const HRESULT hr = test.object->Invoke(test.member, test.flags, test.args, &result);
    if (test.refused) {
      EXPECT_EQ(hr, E_ACCESSDENIED);
      EXPECT_EQ(ToUtf8(test.object->error().description)
                    .find(ToUtf8(test.member) + " cannot be called from a progress "
                                                "callback, macro or question"),
                0u);
    } else {
      EXPECT_EQ(hr, S_OK);
    }
  }
  EXPECT_EQ(script_bridge.Get(L"Count"), Variant::I4(1));
  EXPECT_EQ(script_bridge.Get(L"Name"), Variant(L""));
  EXPECT_EQ(script_link.Get(L"AttribName"), Variant(L"Flow"));
  EXPECT_EQ(bridge->Remove(0), S_OK) << "the library's own calls are not user code";
}

}  // namespace
}  // namespace ovc::bridge
