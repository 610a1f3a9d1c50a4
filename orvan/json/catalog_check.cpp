#include "orvan/json/catalog_check.h"

#include <cmath>
#include <set>
#include <string>

namespace ovc::orvan {

namespace {

// The first name that occurs twice in `items`, as `name_of` reads it; null
// when all differ.
template <typename T, typename NameOf>
const std::string* FirstDuplicate(const std::vector<T>& items, NameOf name_of) {
  std::set<std::string_view> seen;
  for (const T& item : items) {
    const std::string& name = name_of(item);
    if (!seen.insert(name).second) return &name;
  }
  return nullptr;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

Status CheckUnits(const QuantityType& type) {
  const std::string where = "Quantity type " + Quoted(type.name);
  if (const auto* twice = FirstDuplicate(
          type.units, [](const Unit& u) -> const std::string& { return u.system_name; })) {
    return Status::Invalid(where + " has two units named " + Quoted(*twice) + ".");
  }
  for (const Unit& unit : type.units) {
    if (!std::isfinite(unit.factor) || unit.factor == 0 || !std::isfinite(unit.offset)) {
      return Status::Invalid("Unit " + Quoted(unit.system_name) + " of quantity type " +
                             Quoted(type.name) +
                             " does not convert: its factor must be a finite number other "
                             "than 0 and its offset finite.");
    }
  }
  for (const auto& [standard, unit] : type.standard_units) {
    if (type.FindUnit(unit) == nullptr) {
      return Status::Invalid(where + " uses unit " + Quoted(unit) + " for standard " +
                             Quoted(standard) + " but has no such unit.");
    }
  }
  return Status::Ok();
}

Status CheckCaseExists(const Catalog& catalog, int32_t oid, const char* role) {
  if (oid == 0 || catalog.FindCase(oid) != nullptr) return Status::Ok();
  return Status::Invalid(std::string("The ") + role + " case " + std::to_string(oid) +
                         " does not exist.");
}

}  // namespace

Status CheckCatalog(const Catalog& catalog) {
  auto self = [](const std::string& name) -> const std::string& { return name; };
  if (const auto* twice = FirstDuplicate(catalog.unit_standards, self)) {
    return Status::Invalid("Unit standard " + Quoted(*twice) + " is listed twice.");
  }
  auto name = [](const auto& item) -> const std::string& { return item.name; };
  if (const auto* twice = FirstDuplicate(catalog.quantity_types, name)) {
    return Status::Invalid("Quantity type " + Quoted(*twice) + " is defined twice.");
  }
  for (const QuantityType& type : catalog.quantity_types) ORVAN_RETURN_IF_ERROR(CheckUnits(type));
  if (const auto* twice = FirstDuplicate(catalog.class_views, name)) {
    return Status::Invalid("Class view " + Quoted(*twice) + " is defined twice.");
  }
  for (const ClassView& view : catalog.class_views) {
    if (const auto* twice = FirstDuplicate(view.routes, name)) {
      return Status::Invalid("Class view " + Quoted(view.name) + " has two routes named " +
                             Quoted(*twice) + ".");
    }
  }
  std::set<int32_t> case_oids;
  for (const Case& c : catalog.cases) {
    if (!case_oids.insert(c.oid).second) {
      return Status::Invalid("Case " + std::to_string(c.oid) + " is defined twice.");
    }
  }
  ORVAN_RETURN_IF_ERROR(CheckCaseExists(catalog, catalog.default_case, "default"));
  return CheckCaseExists(catalog, catalog.governing_case, "governing");
}

}  // namespace ovc::orvan
