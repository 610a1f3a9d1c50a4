#include <gtest/gtest.h>

#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

class CacheComponentTest : public ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    cache_ = workspace_.Object(L"Cache");
  }

  LateBound cache_;
};

TEST_F(CacheComponentTest, ClassViewGivesItsAttributesWithTheirDefinitions) {
  LateBound pumps = cache_.Object(L"ClassView", {Variant(L"Pumps")});
  EXPECT_EQ(pumps.Get(L"Name"), Variant(L"Pumps"));
  std::vector<std::wstring> routes = Texts(pumps.Get(L"AttributeRoutes"));
  ASSERT_EQ(routes.size(), 9u);
  EXPECT_EQ(routes.front(), L"Pressure");
  EXPECT_EQ(routes.back(), L"Serial");

  struct Expected {
    const wchar_t* route;
    const wchar_t* type;
    const wchar_t* quantity_type;
    bool vector;
    bool read_only;
  };
  const Expected attributes[] = {
      {L"Pressure", L"Real", L"Pressure", false, false},
      {L"Curve", L"Real", L"Pressure", true, false},
      {L"Serial", L"String", L"", false, true},
  };
  for (const Expected& expected : attributes) {
    SCOPED_TRACE(ToUtf8(expected.route));
    LateBound attribute = pumps.Object(L"Attribute", {Variant(expected.route)});
    EXPECT_EQ(attribute.Get(L"Route"), Variant(expected.route));
    EXPECT_EQ(attribute.Get(L"Type"), Variant(expected.type));
    EXPECT_EQ(attribute.Get(L"QuantityTypeName"), Variant(expected.quantity_type));
    EXPECT_EQ(attribute.Get(L"IsVector"), Variant::Bool(expected.vector));
    EXPECT_EQ(attribute.Get(L"ReadOnly"), Variant::Bool(expected.read_only));
  }
  EXPECT_EQ(Texts(pumps.Object(L"Attribute", {Variant(L"Service")}).Get(L"EnumTexts")),
            (std::vector<std::wstring>{L"Water", L"Oil"}));
}

TEST_F(CacheComponentTest, QuantityTypeGivesItsUnitsFromOneAndItsUnitPerStandard) {
  LateBound temperature = cache_.Object(L"QuantityType", {Variant(L"Temperature")});
  EXPECT_EQ(temperature.Get(L"Name"), Variant(L"Temperature"));
  LateBound units = temperature.Object(L"Units");
  ASSERT_EQ(units.Get(L"Count"), Variant::I4(3));
  LateBound celsius = units.Object(L"Item", {Variant(2)});
  EXPECT_EQ(celsius.Get(L"UnitSystemName"), Variant(L"degC"));
  EXPECT_EQ(celsius.Get(L"UnitText"), Variant(L"°C"));
  EXPECT_EQ(celsius.Get(L"Factor"), Variant::R8(1));
  EXPECT_EQ(celsius.Get(L"Offset"), Variant::R8(273.15));
  EXPECT_EQ(units.Object(L"Item", {Variant(1)}).Get(L"UnitSystemName"), Variant(L"K"));

  EXPECT_EQ(temperature.Object(L"UnitForStandard", {Variant(L"us")}).Get(L"UnitSystemName"),
            Variant(L"degF"));
  EXPECT_EQ(Texts(cache_.Get(L"UnitStandardNames")), (std::vector<std::wstring>{L"SI", L"US"}));
}

TEST_F(CacheComponentTest, ACacheCreatedByNameReadsTheWorkspaceItIsGiven) {
  LateBound cache = LateBound::Create(L"Orvan.Cache");
  ASSERT_EQ(cache.Put(L"Workspace", workspace_.AsArgument()), S_OK);
  EXPECT_EQ(cache.Object(L"ClassView", {Variant(L"Tanks")}).Get(L"Name"), Variant(L"Tanks"));
  LateBound empty = LateBound::Create(L"Orvan.Units");
  EXPECT_EQ(empty.Get(L"Count"), Variant::I4(0));
}

}  // namespace
}  // namespace ovc::orvan::testing
