#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "automation/safe_array.h"
#include "tests/automation/temp_dir.h"
#include "tests/ovcbridgesvcs/links/plant_links.h"
#include "tests/ovcbridgesvcs/xml/document_text.h"

namespace ovc::links {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;
using testing::AsDispatch;

using xml_testing::XmlOf;

using LinkSetXmlTest = testing::PlantLinksTest;

TEST_F(LinkSetXmlTest, ALinkSetReadsBackWhatItWrote) {
  pumps_->put_Iterative(VARIANT_TRUE);
  pumps_->put_ObjectOIDList(Variant(SafeArray::FromValues({Variant::I4(1001), Variant::I4(7)})));
  pumps_->put_ObjectNameList(Variant(SafeArray::FromValues({Variant(L"P-101A"), Variant(L"B&C")})));
  const ComPtr<ILink> pressure = NewLink(L"DischargePressure");
  pressure->put_UnitSysName(L"bar");
  pressure->put_Description(L"A&B\nC");
  NewLink(L"Tag")->put_Enabled(VARIANT_FALSE);
  const std::wstring xml = XmlOf(pumps_.get());

  const ComPtr<ILinkSet> copy = MakeObject<CLinkSet>();
  ASSERT_EQ(copy->ReadXML(Variant(xml)), S_OK);
  EXPECT_EQ(XmlOf(copy.get()), xml);
  Variant first;
  copy->get_Item(Variant::I4(0), &first);
  EXPECT_EQ(Got(ComPtr<IDispatch>(first.dispatch()).As<ILink>().get(), &ILink::get_UnitSelectedID),
            3)
      << "the unit is selected once the Link is bound";
  copy->FinalCleanUp();
}

TEST_F(LinkSetXmlTest, AnObjectGivenByItsOidAloneIsWrittenWithoutAName) {
  const ComPtr<ILinkSet> set = MakeObject<CLinkSet>();
  ASSERT_EQ(set->put_ObjectOID(7), S_OK);
  EXPECT_NE(XmlOf(set.get()).find(L"<Object OID=\"7\" ObjectName=\"\"/>"), std::wstring::npos);
}

// Links read together share what the host finds for a route: each binds to
// its own route all the same, and binds again when its route or the class
// changes.
TEST_F(LinkSetXmlTest, LinksReadTogetherBindToTheirOwnRoutes) {
  const std::wstring routes[] = {L"Flow", L"Tag", L"NoSuchRoute", L"DischargePressure", L"Flow"};
  std::wstring xml = L"<Linkset Class=\"Pumps\"><Links>";
  std::vector<std::wstring> units_alone;
  for (const std::wstring& route : routes) {
    xml += L"<Link Route=\"" + route + L"\"/>";
    units_alone.push_back(Got(NewLink(route).get(), &ILink::get_UnitComboList));
  }
  const ComPtr<ILinkSet> read = MakeObject<CLinkSet>();
  ASSERT_EQ(read->ReadXML(Variant(xml + L"</Links></Linkset>")), S_OK);
  EXPECT_EQ(host_testing::ItemTexts(read.get(), &ILink::get_UnitComboList), units_alone);
  auto link_at = [&](int32_t index) {
    Variant item;
    EXPECT_EQ(read->get_Item(Variant::I4(index), &item), S_OK);
    return ComPtr<IDispatch>(item.dispatch()).As<ILink>();
  };
  EXPECT_FALSE(testing::Bound(link_at(2).get()));
  link_at(0)->put_AttribName(L"DischargePressure");
  EXPECT_EQ(Got(link_at(0).get(), &ILink::get_UnitComboList), units_alone[3]);
  read->put_Class(L"Tanks");
  EXPECT_FALSE(testing::Bound(link_at(4).get())) << "a tank has no flow";
  EXPECT_TRUE(testing::Bound(link_at(1).get()));
  read->FinalCleanUp();
}

// A Link read before it has a LinkSet keeps its unit name until it binds.
TEST_F(LinkSetXmlTest, AUnitNameWaitsForTheLinksUnits) {
  const files_testing::TempDir dir;
  const std::filesystem::path path = dir.path() / "link.xml";
  files_testing::WriteFile(path, "<Link Route=\"DischargePressure\" Units=\"bar\" Enabled=\"1\"/>");
  const ComPtr<ILink> link = MakeObject<CLink>();
  ASSERT_EQ(link->ReadXML(Variant(path.wstring())), S_OK);
  EXPECT_NE(XmlOf(link.get()).find(L"Units=\"bar\""), std::wstring::npos);
  ASSERT_EQ(pumps_->Add(AsDispatch(link)), S_OK);
  EXPECT_EQ(Got(link.get(), &ILink::get_UnitSelectedID), 3);
}

TEST_F(LinkSetXmlTest, BadInputIsRefusedWithAReason) {
  const ComPtr<ILinkSet> target = MakeObject<CLinkSet>();
  const ComPtr<ILink> link = MakeObject<CLink>();
  EXPECT_EQ(target->ReadXML(Variant(L"<Linkset><Linkset/></Linkset>")), E_INVALIDARG);
  EXPECT_EQ(TakeDesc(), L"ReadXML takes a Linkset element or XML text of one.");
  EXPECT_EQ(link->ReadXML(Variant(L"https://example.com/link.xml")), E_INVALIDARG);
  EXPECT_EQ(target->ReadXML(Variant(L"<Linkset Name=\"kept\"><ClassViewObjects><Object "
                                    L"ObjectName=\"x\"/></ClassViewObjects></Linkset>")),
            S_OK);
  EXPECT_EQ(Got(target.get(), &ILinkSet::get_ObjectOIDList).array().data()[0], Variant::I4(-1))
      << "no OID is none, not record 0";
}

}  // namespace
}  // namespace ovc::links
