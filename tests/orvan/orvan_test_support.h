#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "orvan/storage/sqlite_store.h"
#include "tests/automation/temp_dir.h"

namespace ovc::orvan::testing {

// The data service's requests for Bridge `oid` and for releasing its lock.
inline std::string BridgeRequest(int oid) {
  return "<Bridge OID=\"" + std::to_string(oid) + "\"/>";
}
inline std::string ReleaseRequest(int oid) {
  return "<ReleaseLock OID=\"" + std::to_string(oid) + "\"/>";
}

using files_testing::ReadFile;
using files_testing::TempDir;
using files_testing::WriteFile;

// A small plant definition: standards SI and US, pressure and temperature
// units, one class view "Pumps" with one route of every type, three cases
// (101 Design, the default; 102 Rated, governing; 103 Normal).
inline Catalog PumpCatalog() {
  Catalog catalog;
  catalog.unit_standards = {"SI", "US"};
  catalog.quantity_types = {
      {"Pressure",
       {{"Pa", "Pa", 1, 0}, {"kPa", "kPa", 1000, 0}, {"psi", "psi", 6894.757293168361, 0}},
       {{"SI", "kPa"}, {"US", "psi"}}},
      {"Temperature",
       {{"K", "K", 1, 0}, {"degC", "°C", 1, 273.15}, {"degF", "°F", 5.0 / 9.0, 459.67 * 5.0 / 9.0}},
       {{"SI", "degC"}, {"US", "degF"}}},
  };
  catalog.unit_formats = {{"kPa", "0.00"}, {"°C", "0.0"}};
  catalog.texts = {{"~", "approx."}, {"max", "(est)"}, {"N/A", "TBD"}};
  ClassView pumps{"Pumps", {}};
  pumps.routes = {
      {"Pressure", AttributeType::kReal, "Pressure", false, false, {}},
      {"Temperature", AttributeType::kReal, "Temperature", false, false, {}},
      {"Stages", AttributeType::kInteger, "", false, false, {}},
      {"Tag", AttributeType::kString, "", false, false, {}},
      {"Service", AttributeType::kEnum, "", false, false, {"Water", "Oil"}},
      {"Installed", AttributeType::kDate, "", false, false, {}},
      {"Spare", AttributeType::kBoolean, "", false, false, {}},
      {"Curve", AttributeType::kReal, "Pressure", true, false, {}},
      {"Serial", AttributeType::kString, "", false, true, {}},
  };
  catalog.class_views = {pumps, {"Tanks", {{"Level", AttributeType::kReal, "", false, false, {}}}}};
  catalog.cases = {{101, "Design"}, {102, "Rated"}, {103, "Normal"}};
  catalog.default_case = 101;
  catalog.governing_case = 102;
  return catalog;
}

// Fills a new workspace with PumpCatalog and the pumps P-101 (OID 1, all
// cases) and P-102 (OID 2, Design only) and the tank T-1 (OID 3).
inline void FillPumpStore(Store* store) {
  EXPECT_TRUE(store->ReplaceCatalog(PumpCatalog()).ok());
  EXPECT_TRUE(store->PutObject({1, "P-101", "Pumps", {}}).ok());
  EXPECT_TRUE(store->PutObject({2, "P-102", "Pumps", {101}}).ok());
  EXPECT_TRUE(store->PutObject({3, "T-1", "Tanks", {}}).ok());
}

// A new workspace at dir/name filled by FillPumpStore.
inline std::unique_ptr<SqliteStore> NewPumpStore(const TempDir& dir,
                                                 const std::string& name = "plant.orvan") {
  std::unique_ptr<SqliteStore> store;
  Status status = SqliteStore::Open(dir.File(name), SqliteStore::Mode::kCreate, &store);
  EXPECT_TRUE(status.ok()) << status.message();
  FillPumpStore(store.get());
  return store;
}

}  // namespace ovc::orvan::testing
