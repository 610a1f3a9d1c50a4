#include "ovcbridgesvcs/links/link_set.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "automation/enum_variant.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "tests/ovcbridgesvcs/links/plant_links.h"

namespace ovc::links {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;
using testing::AsDispatch;
using testing::Bound;

bool Dirty(ILinkSet* set) { return Got(set, &ILinkSet::get_Dirty) != VARIANT_FALSE; }

// A vector of `type` elements, as the host hands lists of texts or OIDs.
template <class T>
Variant VectorOf(VARTYPE type, const std::vector<T>& values) {
  SafeArray array = SafeArray::Vector(type, static_cast<uint32_t>(values.size()));
  for (size_t i = 0; i < values.size(); ++i) array.data()[i] = Variant(values[i]);
  return Variant(std::move(array));
}
Variant Texts(const std::vector<std::wstring>& texts) { return VectorOf(VT_BSTR, texts); }
Variant Longs(const std::vector<int32_t>& values) { return VectorOf(VT_I4, values); }

ComPtr<ILink> LinkAt(ILinkSet* set, int32_t index) {
  Variant item;
  EXPECT_EQ(set->get_Item(Variant(index), &item), S_OK);
  return ComPtr<IDispatch>(item.dispatch()).As<ILink>();
}

using Order = std::vector<std::wstring>;

// A LinkSet holding Links whose descriptions are the given texts; cleaned
// up with the fixture.
class LinkSetTest : public ::testing::Test {
 protected:
  ~LinkSetTest() override {
    for (const ComPtr<ILinkSet>& set : made_) set->FinalCleanUp();
  }

  ComPtr<ILinkSet> SetOf(std::vector<std::wstring> descriptions) {
    ComPtr<ILinkSet> set = MakeObject<CLinkSet>();
    made_.push_back(set);
    for (const std::wstring& description : descriptions) {
      Variant link;
      EXPECT_EQ(set->CreateLink(&link), S_OK);
      ComPtr<IDispatch>(link.dispatch()).As<ILink>()->put_Description(description);
    }
    set->put_Dirty(VARIANT_FALSE);
    return set;
  }

  // The descriptions of the Links in collection order.
  static Order OrderOf(ILinkSet* set) {
    return host_testing::ItemTexts(set, &ILink::get_Description);
  }

  ComPtr<ILink> NewLink(const std::wstring& description) {
    ComPtr<ILink> link = MakeObject<CLink>();
    link->put_Description(description);
    return link;
  }

  std::vector<ComPtr<ILinkSet>> made_;
};

TEST_F(LinkSetTest, InsertLinkPlacesTheLinkAtItsIndexAndAppendsOtherwise) {
  const struct {
    int32_t index;
    Order order;
  } cases[] = {
      {-1, {L"a", L"b", L"c", L"new"}},
      {0, {L"new", L"a", L"b", L"c"}},
      {2, {L"a", L"b", L"new", L"c"}},
      {9, {L"a", L"b", L"c", L"new"}},
  };
  for (const auto& c : cases) {
    const ComPtr<ILinkSet> set = SetOf({L"a", L"b", L"c"});
    EXPECT_EQ(set->InsertLink(AsDispatch(NewLink(L"new")), c.index), S_OK);
    EXPECT_EQ(OrderOf(set.get()), c.order) << c.index;
    EXPECT_TRUE(Dirty(set.get()));
  }
}

TEST_F(LinkSetTest, CollectionMembersRefuseWrongIndexesAndObjects) {
  const ComPtr<ILinkSet> set = SetOf({L"a", L"b", L"c", L"d"});
  Variant link;
  const struct {
    const char* name;
    std::function<HRESULT()> call;
    HRESULT hr;
    std::wstring desc;
  } cases[] = {
      {"item by name", [&] { return set->get_Item(Variant(L"a"), &link); }, E_INVALIDARG,
       L"The index variant must be of type VT_I2 or VT_I4"},
      {"swap past the end", [&] { return set->SwapLinkPosition(0, 4); }, E_FAIL,
       L"LinkSet:  SwapLinkPosition index is out of range (4 of [0..3])"},
      {"add null", [&] { return set->Add(nullptr); }, E_FAIL,
       L"LinkSet Error:  Attempted to add a NULL Link."},
      {"add a LinkSet", [&] { return set->Add(AsDispatch(SetOf({}))); }, E_FAIL,
       L"Only Links can be added to the LinkSets"},
      {"insert links of a Link", [&] { return set->InsertLinks(AsDispatch(NewLink(L"")), 0); },
       E_FAIL, L"LinkSet Error:  InsertLinks requires a dispatch pointer to a LinkSet object."},
      {"parent a Link", [&] { return set->put_Parent(AsDispatch(NewLink(L""))); }, E_FAIL,
       L"Parent of LinkSet must be a Bridge"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.call(), c.hr) << c.name;
    EXPECT_EQ(TakeDesc(), c.desc) << c.name;
  }
  EXPECT_EQ(OrderOf(set.get()), (Order{L"a", L"b", L"c", L"d"}));
  EXPECT_FALSE(Dirty(set.get()));
}

TEST_F(LinkSetTest, SwapRemoveAndItemWorkOnZeroBasedPositionsAndResolvingNeedsABridge) {
  const ComPtr<ILinkSet> set = SetOf({L"a", L"b", L"c"});
  EXPECT_EQ(set->SwapLinkPosition(1, 1), S_OK);
  EXPECT_FALSE(Dirty(set.get())) << "an equal swap changes nothing";
  EXPECT_EQ(set->SwapLinkPosition(0, 2), S_OK);
  EXPECT_TRUE(Dirty(set.get()));
  const ComPtr<ILink> first = LinkAt(set.get(), 0);
  ASSERT_EQ(set->Remove(0), S_OK);
  ComPtr<IDispatch> parent;
  EXPECT_EQ(first->get_Parent(parent.Receive()), E_FAIL) << "a removed Link has no Parent";
  TakeDesc();
  EXPECT_EQ(OrderOf(set.get()), (Order{L"b", L"a"}));
  // Case and unit standard selection need the Bridge above.
  int32_t oid = 0;
  std::wstring text;
  EXPECT_EQ(set->get_UnitStdResolved(&text), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Parent is Null:  LinkSet must have a Bridge parent set");
  EXPECT_EQ(LinkAt(set.get(), 0)->get_CaseResolved(&oid), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Unable to access the Bridge container for the Link");
}

TEST_F(LinkSetTest, InsertLinksAndCopyLinkSetCopyLinksInTheirOrder) {
  const ComPtr<ILinkSet> source = SetOf({L"x", L"y"});
  source->put_Name(L"Pumps data");
  source->put_OID(12);
  source->put_Iterative(VARIANT_TRUE);
  source->put_ObjectOIDList(Longs({1001, 1002}));
  const ComPtr<ILinkSet> target = SetOf({L"a"});
  ASSERT_EQ(target->InsertLinks(AsDispatch(source), 0), S_OK);
  EXPECT_EQ(OrderOf(target.get()), (Order{L"x", L"y", L"a"}));

  const ComPtr<ILinkSet> copy = SetOf({L"kept"});
  ASSERT_EQ(copy->CopyLinkSet(AsDispatch(source)), S_OK);
  EXPECT_EQ(OrderOf(copy.get()), (Order{L"kept", L"x", L"y"}));
  EXPECT_EQ(Got(copy.get(), &ILinkSet::get_Name), L"Pumps data");
  EXPECT_EQ(Got(copy.get(), &ILinkSet::get_OID), -1);
  EXPECT_EQ(Got(copy.get(), &ILinkSet::get_ObjectCount), 2);
  EXPECT_EQ(OrderOf(source.get()), (Order{L"x", L"y"})) << "the copies stay out of the source";
}

TEST_F(LinkSetTest, DirtyCoversTheLinksAndClearingItClearsThem) {
  const ComPtr<ILinkSet> set = SetOf({L"a"});
  set->put_Name(L"");
  EXPECT_FALSE(Dirty(set.get()));
  set->put_Name(L"Pumps");
  set->put_Dirty(VARIANT_FALSE);
  set->put_Name(L"PUMPS");
  EXPECT_TRUE(Dirty(set.get())) << "names compare with letter case";
  set->put_Dirty(VARIANT_FALSE);
  const ComPtr<ILink> link = LinkAt(set.get(), 0);
  link->put_ReadLocation(L"In");
  EXPECT_TRUE(Dirty(set.get()));
  set->put_Dirty(VARIANT_FALSE);
  EXPECT_EQ(Got(link.get(), &ILink::get_Dirty), VARIANT_FALSE);
  set->put_IterativeCopy(VARIANT_TRUE);
  set->RemoveAll();
  EXPECT_FALSE(Dirty(set.get()));
}

TEST_F(LinkSetTest, ASingleObjectBindingTakesOneObjectAndAnIterativeOneAList) {
  const ComPtr<ILinkSet> set = SetOf({});
  int32_t oid = 0;
  set->put_ObjectOID(42);
  EXPECT_TRUE(Dirty(set.get()));
  EXPECT_EQ(set->put_ObjectNameList(Texts({L"P-101A", L"P-101B"})), E_FAIL);
  EXPECT_EQ(TakeDesc(),
            L"Linkset Error:  The object list and object name list can only have a "
            L"maximum of 1 item for a non-iterative linkset.");
  EXPECT_EQ(set->put_ObjectOIDList(Texts({L"1"})), E_FAIL);
  EXPECT_EQ(TakeDesc(),
            L"LinkSet PutObjectOIDList Error:  A safearray of longs must be passed "
            L"to this property.");

  set->put_Iterative(VARIANT_TRUE);
  ASSERT_EQ(set->put_ObjectOIDList(Longs({1001, 1002, 1003})), S_OK);
  ASSERT_EQ(set->put_ObjectNameList(Texts({L"P-101A", L"P-101B", L"P-102A"})), S_OK);
  EXPECT_EQ(Got(set.get(), &ILinkSet::get_ObjectName), L"** Iterative (3 objects) **");
  EXPECT_EQ(set->get_ObjectOID(&oid), E_FAIL);
  EXPECT_EQ(TakeDesc(),
            L"Linkset Error:  The requested operation is only valid for Iterative Linksets.");
  EXPECT_EQ(Got(set.get(), &ILinkSet::get_ObjectOIDList), Longs({1001, 1002, 1003}));
  EXPECT_EQ(Got(set.get(), &ILinkSet::get_FirstObjectOID), 1001);

  set->put_Iterative(VARIANT_FALSE);
  EXPECT_EQ(Got(set.get(), &ILinkSet::get_ObjectOID), 1001);
  EXPECT_EQ(Got(set.get(), &ILinkSet::get_ObjectName), L"P-101A");
  set->ClearObject();
  EXPECT_EQ(Got(set.get(), &ILinkSet::get_ObjectOID), -1);
}

using LinkSetPlantTest = testing::PlantLinksTest;

TEST_F(LinkSetPlantTest, AWorkingCopyIsBoundToOneObjectOfTheListAndHoldsCopiesOfTheLinks) {
  NewLink(L"Flow");
  NewLink(L"Tag");
  pumps_->ClearObject();
  pumps_->put_Iterative(VARIANT_TRUE);
  pumps_->put_ObjectOIDList(Longs({1001, 1002, 1003}));
  pumps_->put_ObjectNameList(Texts({L"P-101A", L"P-101B", L"P-102A"}));
  Variant made;
  EXPECT_EQ(pumps_->CreateWorkingCopy(3, &made), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Object index is out of range for the iterative linkset (3 of [0..2])");
  ASSERT_EQ(pumps_->CreateWorkingCopy(2, &made), S_OK);
  const ComPtr<ILinkSet> copy = ComPtr<IDispatch>(made.dispatch()).As<ILinkSet>();
  EXPECT_EQ(Got(copy.get(), &ILinkSet::get_Iterative), VARIANT_FALSE);
  EXPECT_EQ(Got(copy.get(), &ILinkSet::get_IterativeCopy), VARIANT_TRUE);
  EXPECT_EQ(Got(copy.get(), &ILinkSet::get_Enabled), VARIANT_TRUE);
  EXPECT_EQ(Got(copy.get(), &ILinkSet::get_ObjectOID), 1003);
  EXPECT_EQ(Got(copy.get(), &ILinkSet::get_ObjectName), L"P-102A");
  EXPECT_EQ(Got(copy.get(), &ILinkSet::get_Count), 2);
  EXPECT_TRUE(Bound(LinkAt(copy.get(), 0).get())) << "the copy binds to the class view";
  copy->FinalCleanUp();
}

TEST_F(LinkSetPlantTest, ValidateReportsWhatKeepsTheLinkSetFromATransfer) {
  const struct {
    std::wstring class_view;
    int32_t oid;  // 0: no object
    VARIANT_BOOL transfer;
    std::wstring report;
  } cases[] = {
      {L"Pumps", 1001, VARIANT_TRUE, L""},
      {L"", 1001, VARIANT_TRUE, L"No class view has been speicified for object:  P-101A"},
      {L"Compressors", 1001, VARIANT_TRUE, L"The class view is not valid:  Compressors"},
      {L"Pumps", 0, VARIANT_FALSE, L""},
      {L"Pumps", 0, VARIANT_TRUE,
       L"The class view is valid but no objects have been specified: Pumps"},
      {L"Pumps", 2001, VARIANT_FALSE,
       L"The following objects are not in the class view \"Pumps\":  T-201"},
  };
  for (const auto& c : cases) {
    pumps_->put_Class(c.class_view);
    pumps_->ClearObject();
    if (c.oid != 0) {
      pumps_->put_ObjectOID(c.oid);
      pumps_->put_ObjectName(c.oid == 1001 ? L"P-101A" : L"T-201");
    }
    std::wstring report;
    EXPECT_EQ(pumps_->get_Validate(c.transfer, &report), S_OK);
    EXPECT_EQ(report, c.report) << c.class_view << c.oid;
    EXPECT_EQ(Got(pumps_.get(), &ILinkSet::get_Error) != VARIANT_FALSE, !c.report.empty());
  }
}

TEST_F(LinkSetPlantTest, ValidateMarksTheLinksWhoseRouteTheClassViewLacks) {
  const ComPtr<ILink> missing = NewLink(L"Head");
  NewLink(L"Flow");
  NewLink(L"Torque")->put_Enabled(VARIANT_FALSE);
  std::wstring report;
  ASSERT_EQ(pumps_->get_Validate(VARIANT_TRUE, &report), S_OK);
  EXPECT_EQ(report, L"Attributes not found in class view Pumps\r\n\tHead");
  EXPECT_EQ(Got(missing.get(), &ILink::get_Status), L"Attribute not found in Class View.\r\n");
  EXPECT_EQ(Got(pumps_.get(), &ILinkSet::get_LinkErrorCount), 1);
}

TEST_F(LinkSetPlantTest, LinksHaveNoAttributeWhileTheClassViewIsNotValid) {
  const ComPtr<ILink> flow = NewLink(L"Flow");
  const struct {
    const wchar_t* class_view;
    bool bound;
  } steps[] = {{L"Pumpz", false}, {L"Pumps", true}, {L"", false}, {L"Pumps", true}};
  for (const auto& step : steps) {
    ASSERT_EQ(pumps_->put_Class(step.class_view), S_OK);
    EXPECT_EQ(Bound(flow.get()), step.bound) << "class view '" << ToUtf8(step.class_view) << "'";
  }
}

TEST_F(LinkSetPlantTest, StatusPassesToEveryLinkAndTheProfileListsEnabledLinks) {
  const ComPtr<ILink> link = NewLink(L"Flow");
  link->put_WriteLocation(L"Out");
  ASSERT_EQ(pumps_->ResetStatus(ovWriteToApp), S_OK);
  ASSERT_EQ(pumps_->FinalStatus(ovWriteToApp), S_OK);
  std::wstring profile = L"x";
  EXPECT_EQ(Got(link.get(), &ILink::get_Status),
            L"Write to application:    Object = P-101A\r\n"
            L"Value never written to Application(s)\r\n");
  link->put_Enabled(VARIANT_FALSE);
  EXPECT_EQ(pumps_->GetLinkProfile(&profile), S_OK);
  EXPECT_EQ(profile, L"");
}

}  // namespace
}  // namespace ovc::links
