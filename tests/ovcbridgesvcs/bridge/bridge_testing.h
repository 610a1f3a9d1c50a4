#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "automation/class_registry.h"
#include "automation/safe_array.h"
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/host/orvan.h"
#include "tests/ovcbridgesvcs/frame/library_registered.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::bridge_testing {

// The status text a Link has gathered.
inline std::wstring StatusOf(ILink* link) { return host_testing::Got(link, &ILink::get_Status); }

// The sample plant as the library's host and the library's classes served
// in the process. Bridges made by NewBridge have no AppCollection, those
// made by BridgeByClass have one; all are cleaned up after the test.
class PlantBridgeTest : public host_testing::PlantTest {
 protected:
  void SetUp() override {
    PlantTest::SetUp();
    ASSERT_EQ(MakeObject<COrvan>()->Initialize(workspace_.get(), cache_.get()), S_OK);
  }
  void TearDown() override {
    for (const ComPtr<IBridge>& bridge : made_) bridge->FinalCleanUp();
    PlantTest::TearDown();
  }

  ComPtr<IBridge> NewBridge() { return made_.emplace_back(MakeObject<bridge::CBridge>()); }
  ComPtr<IBridge> BridgeByClass() {
    ComPtr<IDispatch> made;
    EXPECT_EQ(CreateObject(L"OVCBridgeSvcs.Bridge", &made), S_OK);
    return made_.emplace_back(made.As<IBridge>());
  }

  // A new LinkSet appended to `bridge`.
  static ComPtr<ILinkSet> AddLinkSet(IBridge* bridge) {
    Variant added;
    EXPECT_EQ(bridge->CreateLinkSet(&added), S_OK);
    return ComPtr<IDispatch>(added.dispatch()).As<ILinkSet>();
  }
  // A new LinkSet appended to `bridge`, on class view Pumps bound to P-101A.
  static ComPtr<ILinkSet> AddPumpLinkSet(IBridge* bridge) {
    ComPtr<ILinkSet> link_set = AddLinkSet(bridge);
    EXPECT_EQ(link_set->put_Class(L"Pumps"), S_OK);
    EXPECT_EQ(link_set->put_ObjectOID(1001), S_OK);
    EXPECT_EQ(link_set->put_ObjectName(L"P-101A"), S_OK);
    return link_set;
  }
  // A new iterative LinkSet appended to `bridge`, on class view Pumps bound
  // to the pumps of `pumps`, OIDs and names.
  static ComPtr<ILinkSet> AddIterativePumpLinkSet(
      IBridge* bridge, const std::vector<std::pair<int32_t, std::wstring>>& pumps) {
    ComPtr<ILinkSet> link_set = AddLinkSet(bridge);
    EXPECT_EQ(link_set->put_Class(L"Pumps"), S_OK);
    EXPECT_EQ(link_set->put_Iterative(VARIANT_TRUE), S_OK);
    SafeArray oids = SafeArray::Vector(VT_I4, static_cast<uint32_t>(pumps.size()));
    SafeArray names = SafeArray::Vector(VT_BSTR, static_cast<uint32_t>(pumps.size()));
    for (size_t i = 0; i < pumps.size(); ++i) {
      oids.data()[i] = Variant::I4(pumps[i].first);
      names.data()[i] = Variant(pumps[i].second);
    }
    EXPECT_EQ(link_set->put_ObjectOIDList(Variant(std::move(oids))), S_OK);
    EXPECT_EQ(link_set->put_ObjectNameList(Variant(std::move(names))), S_OK);
    return link_set;
  }
  // The file `path` added to `bridge`.
  static ComPtr<IApp> AddFile(IBridge* bridge, const std::wstring& path) {
    Variant added;
    EXPECT_EQ(bridge->AddApp(path, &added), S_OK) << host_testing::TakeDesc();
    return ComPtr<IDispatch>(added.dispatch()).As<IApp>();
  }
  // The item at `index` of `collection`, a Bridge or a LinkSet.
  template <class Item, class Collection>
  static ComPtr<Item> ItemAt(Collection* collection, int32_t index) {
    Variant item;
    EXPECT_EQ(collection->get_Item(Variant::I4(index), &item), S_OK);
    return ComPtr<IDispatch>(item.dispatch()).As<Item>();
  }
  // A new Link of `link_set` on route `route`.
  static ComPtr<ILink> AddLink(ILinkSet* link_set, const std::wstring& route) {
    Variant added;
    EXPECT_EQ(link_set->CreateLink(&added), S_OK);
    ComPtr<ILink> link = ComPtr<IDispatch>(added.dispatch()).As<ILink>();
    EXPECT_EQ(link->put_AttribName(route), S_OK);
    return link;
  }

  frame_testing::LibraryRegistered library_;
  std::vector<ComPtr<IBridge>> made_;
};

}  // namespace ovc::bridge_testing
