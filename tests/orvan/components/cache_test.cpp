#include <gtest/gtest.h>

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
  LateBound temperature = cache.Object(L"QuantityType", {Variant(L"Temperature")});
  LateBound units = temperature.Object(L"Units");
  ASSERT_EQ(units.Get(L"Count"), Variant::I4(3));
  LateBound celsius = units.Object(L"Item", {Variant(2)});
  EXPECT_EQ(celsius.Get(L"UnitSystemName"), Variant(L"degC"));
  EXPECT_EQ(celsius.Get(L"Offset"), Variant::R8(273.15));
  EXPECT_EQ(temperature.Object(L"UnitForStandard", {Variant(L"us")}).Get(L"UnitSystemName"),
            Variant(L"degF"));
}

TEST_F(CacheComponentTest, AnObjectRefusedAsWorkspaceLeavesTheBoundOneInPlace) {
  LateBound cache = LateBound::Create(L"Orvan.Cache");
  ASSERT_EQ(cache.Put(L"Workspace", workspace_.AsArgument()), S_OK);
  EXPECT_EQ(cache.Put(L"Workspace", cache.AsArgument()), E_INVALIDARG);
  EXPECT_FALSE(Texts(cache.Get(L"UnitStandardNames")).empty());
}

}  // namespace
}  // namespace ovc::orvan::testing
