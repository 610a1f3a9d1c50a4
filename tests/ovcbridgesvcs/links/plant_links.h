#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ovcbridgesvcs/host/orvan.h"
#include "ovcbridgesvcs/links/link.h"
#include "ovcbridgesvcs/links/link_set.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::links::testing {

// The sample plant handed to the library as its host, with a LinkSet on
// class view `Pumps` bound to P-101A. Links made with NewLink are in it;
// the LinkSet is cleaned up after each test, so that no cycle leaks.
class PlantLinksTest : public host_testing::PlantTest {
 protected:
  void SetUp() override {
    PlantTest::SetUp();
    ASSERT_EQ(MakeObject<COrvan>()->Initialize(workspace_.get(), cache_.get()), S_OK);
    ASSERT_EQ(pumps_->put_Class(L"Pumps"), S_OK);
    ASSERT_EQ(pumps_->put_ObjectOID(1001), S_OK);
    ASSERT_EQ(pumps_->put_ObjectName(L"P-101A"), S_OK);
  }
  void TearDown() override {
    pumps_->FinalCleanUp();
    PlantTest::TearDown();
  }

  // A new Link of the LinkSet on route `route`.
  ComPtr<ILink> NewLink(const std::wstring& route = L"") {
    Variant added;
    EXPECT_EQ(pumps_->CreateLink(&added), S_OK);
    ComPtr<ILink> link = ComPtr<IDispatch>(added.dispatch()).As<ILink>();
    EXPECT_EQ(link->put_AttribName(route), S_OK);
    return link;
  }

  ComPtr<ILinkSet> pumps_ = MakeObject<CLinkSet>();
};

// Whether `link` is bound to an attribute of the class view.
inline bool Bound(ILink* link) {
  ComPtr<IDispatch> attribute;
  EXPECT_EQ(link->get_AttributeDisp(attribute.Receive()), S_OK);
  return bool(attribute);
}

template <class I>
IDispatch* AsDispatch(const ComPtr<I>& object) {
  return static_cast<IDispatch*>(object.get());
}

}  // namespace ovc::links::testing
