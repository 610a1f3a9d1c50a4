#include "ovcbridgesvcs/links/link.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "automation/safe_array.h"
#include "tests/ovcbridgesvcs/links/link_testing.h"
#include "tests/ovcbridgesvcs/links/plant_links.h"

namespace ovc::links {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;
using testing::AsDispatch;
using testing::Bound;
using testing::Vector;

constexpr wchar_t kUnitsOfPressure[] =
    L"#-10;<Workspace Default> - |#-11;<Bridge Default> - |#-12;<LinkSet Default> - "
    L"|#1;Pa|#2;kPa|#3;bar|#4;psi|#5;kg/cm\u00b2";

bool Dirty(ILink* link) { return Got(link, &ILink::get_Dirty) != VARIANT_FALSE; }
std::wstring StatusOf(ILink* link) { return Got(link, &ILink::get_Status); }
VARIANT_BOOL ErrorOf(ILink* link) { return Got(link, &ILink::get_Error); }

// The unchanged values are a new Link's defaults.
TEST(LinkTest, PersistedSettersMarkDirtyOnlyOnARealChange) {
  using Setter = std::function<HRESULT(ILink*)>;
  const struct {
    const char* name;
    Setter set;
    bool dirty;
  } cases[] = {
      {"same route", [](ILink* l) { return l->put_AttribName(L""); }, false},
      {"write location", [](ILink* l) { return l->put_WriteLocation(L"Out"); }, true},
      {"enabled again (any non-zero)", [](ILink* l) { return l->put_Enabled(5); }, false},
      {"disabled", [](ILink* l) { return l->put_Enabled(VARIANT_FALSE); }, true},
      {"same case", [](ILink* l) { return l->put_CaseOID(ovLinkSetDefault); }, false},
      {"unit", [](ILink* l) { return l->put_UnitSelectedID(2); }, true},
      {"status", [](ILink* l) { return l->put_Status(L"s"); }, false},
      {"host value", [](ILink* l) { return l->put_OrvanValue(Variant(1.5)); }, false},
  };
  for (const auto& c : cases) {
    const ComPtr<ILink> link = MakeObject<CLink>();
    EXPECT_EQ(c.set(link.get()), S_OK) << c.name;
    EXPECT_EQ(Dirty(link.get()), c.dirty) << c.name;
  }
}

TEST(LinkTest, AOneElementArrayIsStoredAsItsElementAndErrorsInReadValuesMarkTheLink) {
  const ComPtr<ILink> link = MakeObject<CLink>();
  link->put_Prefix(Vector({Variant(L"~")}));
  EXPECT_EQ(Got(link.get(), &ILink::get_Prefix), Variant(L"~"));
  const Variant pair = Vector({Variant(L"a"), Variant(L"b")});
  link->put_Postfix(pair);
  EXPECT_EQ(Got(link.get(), &ILink::get_Postfix), pair);
  EXPECT_EQ(ErrorOf(link.get()), VARIANT_FALSE);

  link->put_RawAppValue(Vector({Variant(1.0), Variant::Error(DISP_E_TYPEMISMATCH)}));
  EXPECT_EQ(ErrorOf(link.get()), VARIANT_TRUE);
  EXPECT_EQ(StatusOf(link.get()), L"Error in application value\r\n");
  // Resetting the format data empties only the texts that are set.
  const ComPtr<ILink> fresh = MakeObject<CLink>();
  fresh->put_Prefix(Variant(L"~"));
  ASSERT_EQ(fresh->ResetLinkFormatData(), S_OK);
  EXPECT_EQ(Got(fresh.get(), &ILink::get_Prefix), Variant(L""));
  EXPECT_TRUE(Got(fresh.get(), &ILink::get_Postfix).IsEmpty());
}

TEST(LinkTest, WithoutALinkSetTheParentAndUnitsAreRefusedAndTheCopyNeedsALink) {
  const ComPtr<ILink> link = MakeObject<CLink>();
  ComPtr<IDispatch> parent;
  std::wstring text;
  EXPECT_EQ(link->get_Parent(parent.Receive()), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Parent is Null:  Link must have a LinkSet parent set");
  EXPECT_EQ(link->get_UnitSysName(&text), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Parent is Null:  Link must have a LinkSet parent set");
  EXPECT_EQ(link->put_Parent(AsDispatch(ComPtr<ILink>(MakeObject<CLink>()))), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Parent of Link must be a LinkSet");
  EXPECT_EQ(link->CopyLink(AsDispatch(ComPtr<ILinkSet>(MakeObject<CLinkSet>()))), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Link Error:  CopyLink requires a dispatch pointer to a Link object.");
  EXPECT_EQ(link->FinalStatus(ovWriteToApp), E_POINTER);
}

using LinkBindingTest = testing::PlantLinksTest;

TEST_F(LinkBindingTest, ALinkBindsItsRouteThroughTheClassViewAndListsTheUnits) {
  const ComPtr<ILink> pressure = NewLink(L"DischargePressure");
  EXPECT_EQ(Got(pressure.get(), &ILink::get_UnitComboList), kUnitsOfPressure);
  EXPECT_EQ(Got(pressure.get(), &ILink::get_UnitCount), 8);
  const ComPtr<ILink> tag = NewLink(L"Tag");
  EXPECT_EQ(Got(tag.get(), &ILink::get_UnitComboList), L"");
  EXPECT_EQ(Got(tag.get(), &ILink::get_UnitCount), 0);
  EXPECT_EQ(Got(tag.get(), &ILink::get_UnitSelectedID), -1);
  pressure->put_AttribName(L"Tag");
  EXPECT_EQ(Got(pressure.get(), &ILink::get_UnitComboList), L"") << "dropped with the units";

  const ComPtr<ILink> link = NewLink(L"NoSuchRoute");
  EXPECT_FALSE(Bound(link.get()));
  EXPECT_FALSE(GetErrorInfo()) << "a route the class view lacks is no error";
  link->put_AttribName(L"Flow");
  EXPECT_TRUE(Bound(link.get())) << "a new route binds again";
}

TEST_F(LinkBindingTest, UnitIndexesStandForTheDefaultsThenTheUnits) {
  const ComPtr<ILink> link = NewLink(L"DischargePressure");
  const struct {
    int32_t index;
    HRESULT hr;
    int32_t id;
    std::wstring text;
  } cases[] = {
      {0, S_OK, ovWorkspaceDefault, L"<Workspace Default> - "},
      {7, S_OK, 5, L"kg/cm\u00b2"},
      {8, E_FAIL, 0, L"Link:  the index on the UnitID is out of range (8 of [0..7])"},
  };
  for (const auto& c : cases) {
    int32_t id = 0;
    std::wstring text;
    EXPECT_EQ(link->get_UnitID(c.index, &id), c.hr) << c.index;
    if (Failed(c.hr)) {
      EXPECT_EQ(TakeDesc(), c.text);
      continue;
    }
    EXPECT_EQ(id, c.id);
    EXPECT_EQ(link->get_UnitStringByIndex(c.index, &text), S_OK);
    EXPECT_EQ(text, c.text);
  }
}

TEST_F(LinkBindingTest, UnitsAreSelectedByNameOrByTheTextsTheGettersGive) {
  const ComPtr<ILink> link = NewLink(L"DischargePressure");
  const struct {
    std::wstring sys_name;
    int32_t id;
  } selections[] = {{L"bar", 3},
                    {L"<Bridge Default> - psi", ovBridgeDefault},
                    {L"Default unit kgcm2", 5},
                    {L"", 5}};
  for (const auto& s : selections) {
    EXPECT_EQ(link->put_UnitSysName(s.sys_name), S_OK) << s.sys_name;
    EXPECT_EQ(Got(link.get(), &ILink::get_UnitSelectedID), s.id) << s.sys_name;
  }
  link->put_UnitString(L"kg/cm\u00b2");
  EXPECT_EQ(Got(link.get(), &ILink::get_UnitString), L"kg/cm\u00b2");
  link->put_UnitSelectedID(ovWorkspaceDefault);
  const std::wstring text = Got(link.get(), &ILink::get_UnitString);
  link->put_UnitSelectedID(2);
  EXPECT_EQ(link->put_UnitString(text), S_OK);
  EXPECT_EQ(Got(link.get(), &ILink::get_UnitSelectedID), ovWorkspaceDefault)
      << "a getter's default text selects it again";

  EXPECT_EQ(link->put_UnitSysName(L"BAR"), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Link::get_UnitSelectedID - Unit system name not found:  BAR\r\n");
  EXPECT_EQ(ErrorOf(link.get()), VARIANT_TRUE);

  link->put_UnitSelectedID(3);  // binding again to the same quantity keeps the choice
  link->SetDataModelSvcs();
  Got(link.get(), &ILink::get_UnitComboList);
  EXPECT_EQ(Got(link.get(), &ILink::get_UnitSelectedID), 3);
  EXPECT_EQ(NewLink(L"Tag")->put_UnitSysName(L"bar"), E_FAIL);
  EXPECT_EQ(TakeDesc(),
            L"Link error:  units of measure information was requested, but the  "
            L"Units of Measures are null.");
}

TEST_F(LinkBindingTest, AnAppValueTextBecomesANumberOnlyForAQuantityAndReadTextsAreParsed) {
  const struct {
    std::wstring route;
    Variant given;
    Variant stored;
  } cases[] = {
      {L"Flow", Variant(L"12.5"), Variant(12.5)},
      {L"Flow", Variant(L"twelve"), Variant()},
      {L"Tag", Variant(L"12.5"), Variant(L"12.5")},
  };
  for (const auto& c : cases) {
    const ComPtr<ILink> link = NewLink(c.route);
    EXPECT_EQ(link->put_AppValue(c.given), S_OK);
    EXPECT_EQ(Got(link.get(), &ILink::get_AppValue), c.stored) << c.route;
  }
  // Read texts are parsed by the host field formatter.
  const ComPtr<ILink> link = NewLink(L"DischargePressure");
  link->put_RawAppValue(Variant(L"~12.5"));
  ASSERT_EQ(link->ConvertAppValue(L"book.xlsx"), S_OK);
  EXPECT_EQ(Got(link.get(), &ILink::get_AppValue), Variant(12.5));
  EXPECT_EQ(Got(link.get(), &ILink::get_Prefix), Variant(L"~"));
  EXPECT_EQ(Got(link.get(), &ILink::get_ReadFromApp), VARIANT_TRUE);
}

// A text without a number (blank, or a substitution) is an empty value, in a
// vector as alone: an empty read empties the host value.
TEST_F(LinkBindingTest, ReadTextsWithoutANumberGiveEmptyValues) {
  const struct {
    std::wstring route;
    Variant raw;
    Variant value;
    Variant substitution;
  } cases[] = {
      {L"HeadCurve", Vector({Variant(L"~ 1.5"), Variant(2.0), Variant(L"TBD"), Variant(L"3 max")}),
       Vector({Variant(1.5), Variant(2.0), Variant(), Variant(3.0)}),
       Vector({Variant(), Variant(), Variant(L"TBD"), Variant()})},
      {L"HeadCurve", Vector({Variant(L" "), Variant(L"4")}), Vector({Variant(), Variant(4.0)}),
       Variant()},
      {L"Flow", Variant(L""), Variant(), Variant()},
      {L"Stages", Variant(L"  "), Variant(), Variant()},
  };
  for (const auto& c : cases) {
    const ComPtr<ILink> link = NewLink(c.route);
    link->put_RawAppValue(c.raw);
    ASSERT_EQ(link->ConvertAppValue(L"book.xlsx"), S_OK);
    EXPECT_EQ(Got(link.get(), &ILink::get_AppValue), c.value) << StatusOf(link.get());
    EXPECT_EQ(Got(link.get(), &ILink::get_Substitution), c.substitution);
    EXPECT_EQ(Got(link.get(), &ILink::get_ReadValueFromApp), VARIANT_TRUE);
    EXPECT_EQ(ErrorOf(link.get()), VARIANT_FALSE);
  }
}

TEST_F(LinkBindingTest, ResetStatusWritesTheHeadingAndEmptiesTheValuesTheOperationReplaces) {
  const ComPtr<ILink> link = NewLink(L"Flow");
  const struct {
    OVCBRIDGETRANSFEROP op;
    std::wstring write_location;
    std::wstring status;
    bool orvan_kept, app_kept;
  } cases[] = {
      {ovWriteToApp, L"Flow_Out", L"Write to application:    Object = P-101A\r\n", true, true},
      {ovWriteToApp, L"", L"  Object = P-101A\r\n", true, true},
      {ovReadFromOrvan, L"", L"Read from Orvan:    Object = P-101A\r\n", false, true},
      {ovReadFromApp, L"", L"  Object = P-101A\r\n", true, false},
      {ovAutorun, L"", L"  Object = P-101A\r\n", false, false},
      {ovSynchNamesAdd, L"Flow_Out",
       L"Location Name Synchronization (Add Name):  Attribute Name: Flow\r\n"
       L"  Original Write Location: Flow_Out\r\n",
       true, true},
  };
  for (const auto& c : cases) {
    link->put_WriteLocation(c.write_location);
    link->put_Error(VARIANT_TRUE);
    link->put_OrvanValue(Variant(1.0));
    link->put_AppValue(Variant(2.0));
    EXPECT_EQ(link->ResetStatus(c.op), S_OK);
    EXPECT_EQ(StatusOf(link.get()), c.status) << c.op;
    EXPECT_EQ(ErrorOf(link.get()), VARIANT_FALSE) << c.op;
    EXPECT_EQ(!Got(link.get(), &ILink::get_OrvanValue).IsEmpty(), c.orvan_kept) << c.op;
    EXPECT_EQ(!Got(link.get(), &ILink::get_AppValue).IsEmpty(), c.app_kept) << c.op;
  }
  pumps_->put_ObjectName(L"");
  link->ResetStatus(ovReadFromOrvan);
  EXPECT_EQ(StatusOf(link.get()), L"Read from Orvan:    Object Not Defined\r\n");
}

TEST_F(LinkBindingTest, FinalStatusMarksWhatWasNeverWrittenOrRead) {
  const struct {
    OVCBRIDGETRANSFEROP op;
    bool read_from_orvan;
    std::wstring status;
    VARIANT_BOOL error;
  } cases[] = {
      {ovWriteToApp, false, L"Value never written to Application(s)\r\n", VARIANT_TRUE},
      {ovExportOrvanToApp, false, L"Value never written to Application(s)\r\n", VARIANT_FALSE},
      {ovExportOrvanToApp, true, L"Value never written to Application(s)\r\n", VARIANT_TRUE},
      {ovReadFromApp, false, L"Value never read from Application(s)\r\n", VARIANT_TRUE},
      {ovReadFromOrvan, false, L"", VARIANT_FALSE},
  };
  for (const auto& c : cases) {
    const ComPtr<ILink> link = NewLink(L"Flow");
    link->put_WriteLocation(L"Out");
    link->put_ReadLocation(L"In");
    link->put_ReadFromOrvan(c.read_from_orvan ? VARIANT_TRUE : VARIANT_FALSE);
    EXPECT_EQ(link->FinalStatus(c.op), S_OK);
    EXPECT_EQ(StatusOf(link.get()), c.status) << c.op;
    EXPECT_EQ(ErrorOf(link.get()), c.error) << c.op;
  }
}

TEST_F(LinkBindingTest, CopyLinkCopiesTheDefinitionButNotIdentityOrValues) {
  const ComPtr<ILink> source = NewLink(L"DischargePressure");
  source->put_WriteLocation(L"W");
  source->put_UnitSysName(L"psi");
  source->put_CaseOID(103);
  source->put_OID(77);
  source->put_Prefix(Variant(L"~"));
  const ComPtr<ILink> copy = NewLink();
  ASSERT_EQ(copy->CopyLink(AsDispatch(source)), S_OK);
  EXPECT_EQ(Got(copy.get(), &ILink::get_AttribName), L"DischargePressure");
  EXPECT_EQ(Got(copy.get(), &ILink::get_WriteLocation), L"W");
  EXPECT_EQ(Got(copy.get(), &ILink::get_UnitSelectedID), 4);
  EXPECT_EQ(Got(copy.get(), &ILink::get_CaseOID), 103);
  EXPECT_EQ(Got(copy.get(), &ILink::get_OID), -1);
  EXPECT_TRUE(Got(copy.get(), &ILink::get_Prefix).IsEmpty());
}

}  // namespace
}  // namespace ovc::links
