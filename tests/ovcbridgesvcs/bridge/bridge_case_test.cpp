#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "automation/safe_array.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"
#include "tests/ovcbridgesvcs/xml/document_text.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;

// A Bridge with one LinkSet on pump P-101A holding one Link on its
// discharge pressure.
class BridgeCaseTest : public bridge_testing::PlantBridgeTest {
 protected:
  void SetUp() override {
    PlantBridgeTest::SetUp();
    ASSERT_EQ(link_set_->put_Class(L"Pumps"), S_OK);
    ASSERT_EQ(link_set_->put_ObjectOID(1001), S_OK);
    link_ = AddLink(link_set_.get(), L"DischargePressure");
  }

  ComPtr<IBridge> bridge_ = NewBridge();
  ComPtr<ILinkSet> link_set_ = AddLinkSet(bridge_.get());
  ComPtr<ILink> link_;
};

TEST_F(BridgeCaseTest, EachLevelResolvesItsCaseThroughTheLevelsAbove) {
  const struct {
    int32_t bridge, link_set, link, resolved;
    const wchar_t* name;
  } cases[] = {
      {-10, -11, -12, 102, L"Rated"},  // the workspace's governing case
      {101, -10, -12, 102, L"Rated"},  {101, 103, -12, 103, L"Normal"},
      {103, 102, -11, 103, L"Normal"}, {101, 103, 101, 101, L"Design"},
  };
  for (const auto& c : cases) {
    bridge_->put_CaseOID(c.bridge);
    link_set_->put_CaseOID(c.link_set);
    link_->put_CaseOID(c.link);
    EXPECT_EQ(Got(link_.get(), &ILink::get_CaseResolved), c.resolved) << c.bridge << c.link_set;
    EXPECT_EQ(Got(link_.get(), &ILink::get_CaseResolvedName), c.name) << c.bridge << c.link_set;
  }
  EXPECT_EQ(Got(link_set_.get(), &ILinkSet::GetLinkProfile),
            L"<ProfileAttr Route = \"DischargePressure\" Case = \"101\" ></ProfileAttr>");
}

TEST_F(BridgeCaseTest, ComboListsOfferTheObjectsCasesAndTheMarkersOfTheLevelsAbove) {
  ASSERT_EQ(link_set_->put_ObjectOID(4001), S_OK);
  const std::wstring set_list = Got(link_set_.get(), &ILinkSet::get_CaseComboList);
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_CaseComboList), L"#-10;<Workspace Default>")
      << "no object, no cases";
  EXPECT_EQ(set_list, L"#101;Design|#103;Normal|#-10;<Workspace Default>|#-11;<Bridge Default>");
  EXPECT_EQ(Got(link_.get(), &ILink::get_CaseComboList), set_list + L"|#-12;<LinkSet Default>");
  VARIANT_BOOL is_default = VARIANT_FALSE;
  EXPECT_EQ(bridge_->IsDefaultString(L"<linkset DEFAULT>", &is_default), S_OK);
  EXPECT_EQ(is_default, VARIANT_TRUE);
  std::wstring text;
  EXPECT_EQ(bridge_->get_DefaultString(OVCBRIDGEDEFAULTS{-9}, &text), E_INVALIDARG);
}

TEST_F(BridgeCaseTest, UnitStandardsResolveThroughTheLevelsAndReachTheLinksUnits) {
  Variant list;
  ASSERT_EQ(bridge_->UnitStdSelectionListByType(ovLink, &list), S_OK);
  EXPECT_EQ(list.array().size(), 3u) << "markers only";
  link_->put_OrvanValue(Variant(5.0));
  link_->put_WriteFormat(L"/!Case!/: /!Number(%G):Unit!/");
  const struct {
    const wchar_t* bridge;
    const wchar_t* link_set;
    int32_t unit_id;
    const wchar_t* system_name;
    const wchar_t* published;
  } cases[] = {
      {L"<workspace default>", L"<bridge default>", ovLinkSetDefault, L"kPa", L"Rated: 5 kPa"},
      {L"US", L"<BRIDGE DEFAULT>", ovLinkSetDefault, L"psi", L"Rated: 5 psi"},
      {L"US", L"Metric", ovLinkSetDefault, L"kgcm2", L"Rated: 5 kg/cm\u00b2"},
      {L"US", L"Metric", ovBridgeDefault, L"psi", L"Rated: 5 psi"},
  };
  for (const auto& c : cases) {
    bridge_->put_UnitStdSelected(c.bridge);
    link_set_->put_UnitStdSelected(c.link_set);
    link_->put_UnitSelectedID(c.unit_id);
    Variant published;
    EXPECT_EQ(link_->get_PublishedValue(VARIANT_FALSE, VARIANT_TRUE, &published), S_OK);
    EXPECT_EQ(Got(link_.get(), &ILink::get_UnitSysNameResolved), c.system_name) << c.bridge;
    EXPECT_EQ(published, Variant(c.published)) << c.bridge << " " << c.link_set;
  }
}

// A LinkSet writing its Links resolves each default selection of a quantity
// type once; every Link still writes the units it shows itself.
TEST_F(BridgeCaseTest, LinksWrittenTogetherKeepTheirOwnDefaultUnits) {
  bridge_->put_UnitStdSelected(L"US");
  link_set_->put_UnitStdSelected(L"Metric");
  const struct {
    const wchar_t* route;
    int32_t unit_id;
  } links[] = {{L"DischargePressure", ovBridgeDefault},
               {L"Flow", ovLinkSetDefault},
               {L"DischargePressure", ovLinkSetDefault},
               {L"Flow", ovBridgeDefault}};
  std::vector<std::wstring> shown = {Got(link_.get(), &ILink::get_UnitSysName)};
  for (const auto& l : links) {
    const ComPtr<ILink> link = AddLink(link_set_.get(), l.route);
    link->put_UnitSelectedID(l.unit_id);
    shown.push_back(Got(link.get(), &ILink::get_UnitSysName));
  }
  const std::wstring xml = xml_testing::XmlOf(link_set_.get());
  const std::wregex units(L" Units=\"&lt;([^\"]*)\"");
  std::vector<std::wstring> written;
  for (std::wsregex_iterator it(xml.begin(), xml.end(), units), end; it != end; ++it) {
    written.push_back(L"<" + (*it)[1].str());
  }
  EXPECT_EQ(written, shown);
  EXPECT_NE(shown[1], shown[3]) << "the two defaults resolve to different units";
}

TEST_F(BridgeCaseTest, WithoutAWorkspaceCaseListsNamesAndStandardsFail) {
  HostState::Current().Clear();
  std::wstring text;
  EXPECT_EQ(bridge_->get_CaseComboList(&text), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Error:  the case cannot be set if the workspace is null.");
  EXPECT_EQ(link_->get_SelectedCaseName(&text), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Invalid workspace.\nFailed to get the name of the case.");
  EXPECT_EQ(link_set_->get_UnitStdResolved(&text), E_FAIL);
  EXPECT_EQ(TakeDesc(),
            L"There are no Unit Standards in the Workspace.\n\n"
            L"Is UOMDefinitions.xml missing in the ClassLibraries?");
}

}  // namespace
}  // namespace ovc::bridge
