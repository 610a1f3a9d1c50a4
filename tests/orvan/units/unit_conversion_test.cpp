#include "orvan/units/unit_conversion.h"

#include <gtest/gtest.h>

#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan {
namespace {

TEST(UnitConversionTest, ConvertsBothWaysWithFactorAndOffset) {
  Catalog catalog = testing::PumpCatalog();
  const QuantityType& temperature = *catalog.FindQuantityType("Temperature");
  const Unit& celsius = *temperature.FindUnit("degC");
  const Unit& fahrenheit = *temperature.FindUnit("degF");
  EXPECT_DOUBLE_EQ(ToBase(celsius, 100), 373.15);
  EXPECT_DOUBLE_EQ(FromBase(celsius, 273.15), 0);
  EXPECT_DOUBLE_EQ(FromBase(fahrenheit, ToBase(celsius, 100)), 212);
  EXPECT_DOUBLE_EQ(FromBase(celsius, ToBase(fahrenheit, -40)), -40);
  const Unit& kpa = *catalog.FindQuantityType("Pressure")->FindUnit("kPa");
  EXPECT_DOUBLE_EQ(ToBase(kpa, 1.5), 1500);
}

TEST(UnitConversionTest, ResolvesUnitsUnitSetsAndTheDefaultStandard) {
  Catalog catalog = testing::PumpCatalog();
  const QuantityType& pressure = *catalog.FindQuantityType("Pressure");
  struct Case {
    const char* units;
    const char* unit_set;
    const char* unit;  // null: an error
  };
  const Case cases[] = {
      {"", "", "kPa"},                                // workspace default standard SI
      {"psi", "", "psi"},                             // a unit by system name
      {"Pa", "US", "Pa"},                             // Units wins over UnitSet
      {"", "US", "psi"},                              // a standard
      {"", "us", "psi"},                              // standards ignore case
      {"", "Pa", "Pa"},                               // a unit named as the set
      {"bar", "", nullptr},                           // not a unit of the type
      {"", "Imperial", nullptr}, {"K", "", nullptr},  // a unit of another type
  };
  for (const Case& c : cases) {
    const Unit* unit = nullptr;
    Status status = ResolveUnit(catalog, pressure, c.units, c.unit_set, &unit);
    if (c.unit == nullptr) {
      EXPECT_FALSE(status.ok()) << c.units << "/" << c.unit_set;
      EXPECT_NE(status.message().find("Pressure"), std::string::npos) << status.message();
    } else {
      ASSERT_TRUE(status.ok()) << status.message();
      EXPECT_EQ(unit->system_name, c.unit) << c.units << "/" << c.unit_set;
    }
  }
}

TEST(UnitConversionTest, AStandardWithoutAUnitForTheTypeIsAnError) {
  Catalog catalog = testing::PumpCatalog();
  catalog.unit_standards.push_back("Metric");
  const Unit* unit = nullptr;
  Status status = ResolveUnit(catalog, *catalog.FindQuantityType("Pressure"), "", "Metric", &unit);
  EXPECT_FALSE(status.ok());
  catalog.unit_standards.clear();
  EXPECT_FALSE(ResolveUnit(catalog, *catalog.FindQuantityType("Pressure"), "", "", &unit).ok());
}

}  // namespace
}  // namespace ovc::orvan
