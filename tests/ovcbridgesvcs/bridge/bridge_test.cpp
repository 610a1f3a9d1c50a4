#include "ovcbridgesvcs/bridge/bridge.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "automation/enum_variant.h"
#include "automation/text.h"
#include "office/excel/registration.h"
#include "tests/office/office_test_support.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;
using Names = std::vector<std::wstring>;

IDispatch* AsDispatch(const ComPtr<IBridge>& bridge) { return bridge.get(); }

bool Dirty(IBridge* bridge) { return Got(bridge, &IBridge::get_Dirty) != VARIANT_FALSE; }

class BridgeTest : public bridge_testing::PlantBridgeTest {
 protected:
  // A Bridge holding LinkSets of the given names, not dirty.
  ComPtr<IBridge> BridgeOf(const Names& names) {
    ComPtr<IBridge> bridge = NewBridge();
    for (const std::wstring& name : names) AddLinkSet(bridge.get())->put_Name(name);
    bridge->put_Dirty(VARIANT_FALSE);
    return bridge;
  }

  // The LinkSets' names in collection order.
  static Names NamesOf(IBridge* bridge) {
    return host_testing::ItemTexts(bridge, &ILinkSet::get_Name);
  }
};

TEST_F(BridgeTest, CollectionMembersRefuseWrongIndexesAndObjectsChangingNothing) {
  const ComPtr<IBridge> bridge = BridgeOf({L"a", L"b", L"c"});
  const ComPtr<IBridge> empty = BridgeOf({});
  Variant item;
  const struct {
    std::function<HRESULT()> call;
    HRESULT hr;
    std::wstring desc;
  } cases[] = {
      {[&] { return bridge->get_Item(Variant::I2(-1), &item); }, E_FAIL,
       L"Bridge Collection:  LinkSet index is out of range (-1 of [0..2])"},
      {[&] { return bridge->SwapLinkSetPosition(4, 0); }, E_FAIL,
       L"BatchAccess:  SwapLinkSetPosition index is out of range (4 of [0..2])"},
      {[&] { return bridge->InsertLinkSet(AsDispatch(empty), 0); }, E_FAIL,
       L"Only LinkSets can be added to the Bridge Collection"},
      {[&] { return bridge->put_CreatedTimeStamp(Variant(L"x")); }, E_FAIL,
       L"The created time stamp must be of type VT_DATE or VT_EMPTY"},
      {[&] { return bridge->RemoveApp(0); }, E_FAIL,
       L"Bridge Error:  Methods called when the App Collection is Null."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.call(), c.hr) << c.desc;
    EXPECT_EQ(TakeDesc(), c.desc);
  }
  EXPECT_EQ(NamesOf(bridge.get()), (Names{L"a", L"b", L"c"}));
  EXPECT_FALSE(Dirty(bridge.get()));
}

// Positions, swaps and removal are the shared child list's, checked with the
// LinkSet's Links.
TEST_F(BridgeTest, InsertLinkSetsPlacesCopiesAtTheirIndex) {
  const ComPtr<IBridge> bridge = BridgeOf({L"a", L"b"});
  Variant copy;
  ASSERT_EQ(BridgeOf({L"new"})->CopyLinkSet(Variant(0), &copy), S_OK);
  EXPECT_EQ(bridge->InsertLinkSet(copy.dispatch(), 0), S_OK);
  ASSERT_EQ(bridge->InsertLinkSets(AsDispatch(BridgeOf({L"x", L"y"})), 2), S_OK);
  EXPECT_EQ(NamesOf(bridge.get()), (Names{L"new", L"a", L"x", L"y", L"b"}));
  EXPECT_TRUE(Dirty(bridge.get()));
}

// Dirty children and names compared with letter case are the shared rules
// checked with the LinkSet.
TEST_F(BridgeTest, DirtyFollowsChangedValues) {
  const ComPtr<IBridge> bridge = BridgeOf({L"a"});
  bridge->put_Name(L"");
  EXPECT_FALSE(Dirty(bridge.get())) << "unchanged values";
  bridge->put_OptimizePerformance(VARIANT_TRUE);
  EXPECT_TRUE(Dirty(bridge.get())) << "OptimizePerformance always sets Dirty";
  bridge->put_Dirty(VARIANT_FALSE);
  bridge->RemoveAll();
  EXPECT_FALSE(Dirty(bridge.get())) << "RemoveAll leaves Dirty alone";
}

TEST_F(BridgeTest, ABridgeMadeByClassReadsUnitFormatsKeepsItsFilesAndCopies) {
  ASSERT_EQ(excel::RegisterExcelClasses(), S_OK);
  const ComPtr<IBridge> bridge = BridgeByClass();
  std::wstring format = L"kept";
  EXPECT_EQ(bridge->GetUnitDefaultFormat(L"BAR", &format), S_FALSE);
  EXPECT_EQ(bridge->GetUnitDefaultFormat(L"bar", &format), S_OK);
  EXPECT_EQ(format, L"0.00");

  const office::testing::TempDir dir;
  Variant app;
  EXPECT_EQ(bridge->AddApp(FromUtf8(dir.File("missing.xlsx")), &app), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Unable to access application file for statistics.");
  EXPECT_EQ(Got(bridge.get(), &IBridge::get_CountApps), 0) << "a file that failed stays out";
  ASSERT_EQ(bridge->AddApp(FromUtf8(office::testing::CopyFixture(dir, "book.xlsx")), &app), S_OK);
  EXPECT_TRUE(Dirty(bridge.get())) << "a new file";
  AddLinkSet(bridge.get())->put_Name(L"x");
  bridge->put_OID(77);
  const ComPtr<IBridge> copy = BridgeByClass();
  AddLinkSet(copy.get())->put_Name(L"kept");
  ASSERT_EQ(copy->CopyBridge(AsDispatch(bridge)), S_OK);
  EXPECT_EQ(Got(copy.get(), &IBridge::get_CountApps), 1);
  EXPECT_EQ(Got(copy.get(), &IBridge::get_OID), -1);
  EXPECT_EQ(NamesOf(copy.get()), (Names{L"kept", L"x"}));
  EXPECT_EQ(bridge->RemoveApp(0), S_OK);
  EXPECT_EQ(Got(bridge.get(), &IBridge::get_CountApps), 0);
}

}  // namespace
}  // namespace ovc::bridge
