// The components that present a workspace's definitions: its cache of class
// views and quantity types, the field formatter, and the lists of objects and
// cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

using CacheComponentTest = ComponentTest;

TEST_F(CacheComponentTest, ClassViewGivesItsAttributesWithTheirDefinitions) {
  LateBound pumps = workspace_.Object(L"Cache").Object(L"ClassView", {Variant(L"Pumps")});
  std::vector<std::wstring> routes = Texts(pumps.Get(L"AttributeRoutes"));
  ASSERT_EQ(routes.size(), 9u);
  EXPECT_EQ(routes.back(), L"Serial");
  LateBound curve = pumps.Object(L"Attribute", {Variant(L"Curve")});
  EXPECT_EQ(curve.Get(L"Type"), Variant(L"Real"));
  EXPECT_EQ(curve.Get(L"QuantityTypeName"), Variant(L"Pressure"));
  EXPECT_EQ(curve.Get(L"IsVector"), Variant::Bool(true));
  EXPECT_EQ(pumps.Object(L"Attribute", {Variant(L"Serial")}).Get(L"ReadOnly"), Variant::Bool(true));
  EXPECT_EQ(Texts(pumps.Object(L"Attribute", {Variant(L"Service")}).Get(L"EnumTexts")),
            (std::vector<std::wstring>{L"Water", L"Oil"}));
}

TEST_F(CacheComponentTest, QuantityTypeGivesItsUnitsFromOneAndItsUnitPerStandard) {
  LateBound cache = LateBound::Create(L"Orvan.Cache");  // bound by hand, as scripts may
  ASSERT_EQ(cache.Put(L"Workspace", workspace_.AsArgument()), S_OK);
  EXPECT_EQ(cache.Put(L"Workspace", cache.AsArgument()), E_INVALIDARG) << "keeps the bound one";
  LateBound temperature = cache.Object(L"QuantityType", {Variant(L"Temperature")});
  LateBound units = temperature.Object(L"Units");
  ASSERT_EQ(units.Get(L"Count"), Variant::I4(3));
  LateBound celsius = units.Object(L"Item", {Variant(2)});
  EXPECT_EQ(celsius.Get(L"UnitSystemName"), Variant(L"degC"));
  EXPECT_EQ(celsius.Get(L"Offset"), Variant::R8(273.15));
  EXPECT_EQ(temperature.Object(L"UnitForStandard", {Variant(L"us")}).Get(L"UnitSystemName"),
            Variant(L"degF"));
}

using FieldFormatterComponentTest = ComponentTest;

// Only a text holding a number gives a value: a blank text or a substitution
// gives an empty one, never 0.
TEST_F(FieldFormatterComponentTest, ATextWithoutANumberGivesAnEmptyValue) {
  LateBound formatter = LateBound::Create(L"Orvan.FieldFormatter");
  ASSERT_EQ(formatter.Put(L"Workspace", workspace_.AsArgument()), S_OK);
  const struct {
    const wchar_t* member;
    const wchar_t* text;
    Variant value;
    const wchar_t* substitution;
  } cases[] = {
      {L"ParseReal", L"~2.5", Variant(2.5), L""},  {L"ParseReal", L"", Variant(), L""},
      {L"ParseReal", L" tbd ", Variant(), L"TBD"}, {L"ParseInteger", L"7 max", Variant(7), L""},
      {L"ParseInteger", L"\t", Variant(), L""},    {L"ParseInteger", L"n/a", Variant(), L"N/A"},
  };
  for (const auto& c : cases) {
    Variant value(L"unset");
    std::wstring prefix, postfix, substitution;
    ASSERT_EQ(
        formatter.Call(c.member,
                       {Variant(c.text), Variant::ByRef(&value), Variant::ByRef(VT_BSTR, &prefix),
                        Variant::ByRef(VT_BSTR, &postfix), Variant::ByRef(VT_BSTR, &substitution)}),
        S_OK)
        << ToUtf8(formatter.error().description);
    EXPECT_EQ(value, c.value) << ToUtf8(c.member) << " '" << ToUtf8(c.text) << "'";
    EXPECT_EQ(substitution, c.substitution);
  }
}

using ObjectListComponentTest = ComponentTest;

TEST_F(ObjectListComponentTest, ListsTheObjectsOfAClassViewInOidOrder) {
  struct Case {
    const wchar_t* class_view;
    std::vector<std::pair<int32_t, std::wstring>> objects;
  };
  const Case cases[] = {
      {L"Pumps", {{1, L"P-101"}, {2, L"P-102"}}},
      {L"Tanks", {{3, L"T-1"}}},
      {L"", {{1, L"P-101"}, {2, L"P-102"}, {3, L"T-1"}}},
  };
  for (const Case& c : cases) {
    LateBound list = LateBound::Create(L"Orvan.ObjectList");
    ASSERT_EQ(list.Call(L"Initialize", {Variant(c.class_view), workspace_.AsArgument()}), S_OK);
    EXPECT_EQ(Entries(list, L"ObjectOID", L"ObjectName"), c.objects) << ToUtf8(c.class_view);
    EXPECT_EQ(list.Call(L"ObjectOID", {Variant(int32_t(c.objects.size() + 1))}), DISP_E_BADINDEX);
    EXPECT_EQ(list.Call(L"ObjectName", {Variant(0)}), DISP_E_BADINDEX);
  }
}

// The pump workspace with its cases stored in descending OID order and a
// pump P-103 (OID 4) that names its cases 103 and 101 in that order and an
// unknown case 999.
class CaseListComponentTest : public ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    std::unique_ptr<SqliteStore> store;
    ASSERT_TRUE(SqliteStore::Open(ToUtf8(path_), SqliteStore::Mode::kOpen, &store).ok());
    Catalog catalog;
    ASSERT_TRUE(store->LoadCatalog(&catalog).ok());
    std::reverse(catalog.cases.begin(), catalog.cases.end());
    ASSERT_TRUE(store->ReplaceCatalog(catalog).ok());
    ASSERT_TRUE(store->PutObject({4, "P-103", "Pumps", {103, 101, 999}}).ok());
    ASSERT_EQ(workspace_.Call(L"Open", {Variant(path_)}), S_OK);
  }

  // (OID, name) of every case of a list initialized with `scope`.
  std::vector<std::pair<int32_t, std::wstring>> CasesOf(int32_t scope) {
    LateBound list = LateBound::Create(L"Orvan.CaseList");
    EXPECT_EQ(list.Call(L"Initialize", {Variant(scope), workspace_.AsArgument()}), S_OK)
        << ToUtf8(list.error().description);
    return Entries(list, L"CaseOID", L"CaseName");
  }
};

using Cases = std::vector<std::pair<int32_t, std::wstring>>;

TEST_F(CaseListComponentTest, ScopesGiveTheirCasesInAscendingOidOrder) {
  const Cases all = {{101, L"Design"}, {102, L"Rated"}, {103, L"Normal"}};
  EXPECT_EQ(CasesOf(-1), all);
  EXPECT_EQ(CasesOf(0), Cases{}) << "0 stands for no object";
  EXPECT_EQ(CasesOf(1), all) << "an object that names no cases has all of them";
  EXPECT_EQ(CasesOf(2), (Cases{{101, L"Design"}}));
  EXPECT_EQ(CasesOf(4), (Cases{{101, L"Design"}, {103, L"Normal"}}));
  LateBound list = LateBound::Create(L"Orvan.CaseList");
  ASSERT_EQ(list.Call(L"Initialize", {Variant(2), workspace_.AsArgument()}), S_OK);
  EXPECT_EQ(list.Call(L"CaseOID", {Variant(2)}), DISP_E_BADINDEX);
  EXPECT_EQ(list.Call(L"CaseName", {Variant(0)}), DISP_E_BADINDEX);
}

TEST_F(CaseListComponentTest, GoverningCaseIsTheWorkspacesForScopeMinusOne) {
  LateBound service = LateBound::Create(L"Orvan.GoverningCase");
  ASSERT_EQ(service.Put(L"Workspace", workspace_.AsArgument()), S_OK);
  EXPECT_EQ(service.Get(L"GoverningCase", {Variant(-1)}), Variant::I4(102));
  EXPECT_EQ(service.Get(L"GoverningCase", {Variant::I2(-1)}), Variant::I4(102));
  EXPECT_EQ(service.Call(L"GoverningCase", {Variant(5)}), E_INVALIDARG);
}

}  // namespace
}  // namespace ovc::orvan::testing
