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
    size_t enum_texts;
  };
  const Expected attributes[] = {
      {L"Pressure", L"Real", L"Pressure", false, false, 0},
      {L"Stages", L"Integer", L"", false, false, 0},
      {L"Service", L"Enum", L"", false, false, 2},
      {L"Installed", L"Date", L"", false, false, 0},
      {L"Spare", L"Boolean", L"", false, false, 0},
      {L"Curve", L"Real", L"Pressure", true, false, 0},
      {L"Serial", L"String", L"", false, true, 0},
  };
  for (const Expected& expected : attributes) {
    SCOPED_TRACE(ToUtf8(expected.route));
    LateBound attribute = pumps.Object(L"Attribute", {Variant(expected.route)});
    EXPECT_EQ(attribute.Get(L"Route"), Variant(expected.route));
    EXPECT_EQ(attribute.Get(L"Type"), Variant(expected.type));
    EXPECT_EQ(attribute.Get(L"QuantityTypeName"), Variant(expected.quantity_type));
    EXPECT_EQ(attribute.Get(L"IsVector"), Variant::Bool(expected.vector));
    EXPECT_EQ(attribute.Get(L"ReadOnly"), Variant::Bool(expected.read_only));
    EXPECT_EQ(Texts(attribute.Get(L"EnumTexts")).size(), expected.enum_texts);
  }
  EXPECT_EQ(Texts(pumps.Object(L"Attribute", {Variant(L"Service")}).Get(L"EnumTexts")),
            (std::vector<std::wstring>{L"Water", L"Oil"}));
}

TEST_F(CacheComponentTest, UnknownNamesFailWithMessagesNamingThem) {
  struct Case {
    LateBound* object;
    const wchar_t* member;
    const wchar_t* name;
    const wchar_t* source;
  };
  LateBound pumps = cache_.Object(L"ClassView", {Variant(L"Pumps")});
  LateBound pressure = cache_.Object(L"QuantityType", {Variant(L"Pressure")});
  Case cases[] = {
      {&cache_, L"ClassView", L"Valves", L"Orvan.Cache"},
      {&cache_, L"ClassView", L"pumps", L"Orvan.Cache"},
      {&cache_, L"QuantityType", L"Length", L"Orvan.Cache"},
      {&pumps, L"Attribute", L"Colour", L"Orvan.ClassView"},
      {&pressure, L"UnitForStandard", L"Imperial", L"Orvan.QuantityType"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name));
    EXPECT_EQ(c.object->Call(c.member, {Variant(c.name)}), E_INVALIDARG);
    EXPECT_EQ(c.object->error().source, c.source);
    EXPECT_NE(c.object->error().description.find(L"'" + std::wstring(c.name) + L"'"),
              std::wstring::npos)
        << ToUtf8(c.object->error().description);
  }
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

TEST_F(CacheComponentTest, UnitsOutsideOneToCountAreBadIndexes) {
  LateBound units = cache_.Object(L"QuantityType", {Variant(L"Pressure")}).Object(L"Units");
  for (int32_t position : {0, -1, 4, 1000}) {
    EXPECT_EQ(units.Call(L"Item", {Variant(position)}), DISP_E_BADINDEX) << position;
    EXPECT_EQ(units.error().source, L"Orvan.Units");
    EXPECT_NE(units.error().description.find(L"from 1 to 3"), std::wstring::npos)
        << ToUtf8(units.error().description);
  }
  LateBound empty = LateBound::Create(L"Orvan.Units");
  EXPECT_EQ(empty.Get(L"Count"), Variant::I4(0));
  EXPECT_EQ(empty.Call(L"Item", {Variant(1)}), DISP_E_BADINDEX);
}

TEST_F(CacheComponentTest, ObjectsCreatedByNameFailUntilTheyHaveSomethingToShow) {
  LateBound cache = LateBound::Create(L"Orvan.Cache");
  EXPECT_EQ(cache.Call(L"ClassView", {Variant(L"Pumps")}), E_FAIL);
  EXPECT_NE(cache.error().description.find(L"Workspace"), std::wstring::npos);
  LateBound not_a_workspace = LateBound::Create(L"Orvan.Unit");
  EXPECT_EQ(cache.Put(L"Workspace", not_a_workspace.AsArgument()), E_INVALIDARG);
  EXPECT_NE(cache.error().description.find(L"not an Orvan workspace"), std::wstring::npos);
  EXPECT_EQ(cache.Put(L"Workspace", Variant(static_cast<IDispatch*>(nullptr))), E_INVALIDARG);
  ASSERT_EQ(cache.Put(L"Workspace", workspace_.AsArgument()), S_OK);
  EXPECT_EQ(cache.Object(L"ClassView", {Variant(L"Tanks")}).Get(L"Name"), Variant(L"Tanks"));

  const wchar_t* empty[][2] = {{L"Orvan.ClassView", L"Name"},
                               {L"Orvan.Attribute", L"Type"},
                               {L"Orvan.QuantityType", L"Units"},
                               {L"Orvan.Unit", L"Factor"}};
  for (const auto& [prog_id, member] : empty) {
    LateBound object = LateBound::Create(prog_id);
    EXPECT_EQ(object.Call(member), E_UNEXPECTED) << ToUtf8(prog_id);
    EXPECT_EQ(object.error().source, prog_id);
  }
}

}  // namespace
}  // namespace ovc::orvan::testing
