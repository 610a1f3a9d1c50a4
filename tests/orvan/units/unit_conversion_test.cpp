#include "orvan/units/unit_conversion.h"

#include <gtest/gtest.h>

#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan {
namespace {

TEST(UnitConversionTest, ResolvesUnitsUnitSetsAndTheDefaultStandard) {
  Catalog catalog = testing::PumpCatalog();
  catalog.unit_standards.push_back("Metric");  // a standard without a unit for pressure
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
      {"", "us", "psi"},                              // standards ignore case
      {"", "Pa", "Pa"},                               // a unit named as the set
      {"bar", "", nullptr},                           // not a unit of the type
      {"", "Imperial", nullptr}, {"K", "", nullptr},  // a unit of another type
      {"", "Metric", nullptr},
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
  catalog.unit_standards.clear();
  const Unit* unit = nullptr;
  EXPECT_FALSE(ResolveUnit(catalog, pressure, "", "", &unit).ok()) << "no default standard";
}

}  // namespace
}  // namespace ovc::orvan
