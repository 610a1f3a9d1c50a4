#include "orvan/units/unit_conversion.h"

#include <string>

#include "automation/text.h"

namespace ovc::orvan {

namespace {

bool IsUnitStandard(const Catalog& catalog, std::string_view name) {
  std::wstring wide = FromUtf8(name);
  for (const std::string& standard : catalog.unit_standards) {
    if (EqualsNoCase(FromUtf8(standard), wide)) return true;
  }
  return false;
}

Status StandardUnit(const QuantityType& type, std::string_view standard, const Unit** unit) {
  *unit = type.UnitOfStandard(standard);
  if (*unit != nullptr) return Status::Ok();
  return Status::Invalid("Unit standard '" + std::string(standard) +
                         "' has no unit for quantity type '" + type.name + "'.");
}

Status NamedUnit(const QuantityType& type, std::string_view name, const Unit** unit) {
  *unit = type.FindUnit(name);
  if (*unit != nullptr) return Status::Ok();
  return Status::Invalid("'" + std::string(name) + "' is not a unit of quantity type '" +
                         type.name + "'.");
}

}  // namespace

double ToBase(const Unit& unit, double value) { return value * unit.factor + unit.offset; }

double FromBase(const Unit& unit, double base) { return (base - unit.offset) / unit.factor; }

Status ResolveUnit(const Catalog& catalog, const QuantityType& type, std::string_view units,
                   std::string_view unit_set, const Unit** unit) {
  if (!units.empty()) return NamedUnit(type, units, unit);
  if (!unit_set.empty()) {
    if (IsUnitStandard(catalog, unit_set)) return StandardUnit(type, unit_set, unit);
    return NamedUnit(type, unit_set, unit);
  }
  if (catalog.unit_standards.empty()) {
    return Status::Invalid("The workspace has no unit standards, so no unit was chosen for '" +
                           type.name + "'.");
  }
  return StandardUnit(type, catalog.unit_standards.front(), unit);
}

}  // namespace ovc::orvan
