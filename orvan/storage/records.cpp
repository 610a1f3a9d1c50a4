#include "orvan/storage/records.h"

#include <array>

#include "automation/text.h"

namespace ovc::orvan {

namespace {

constexpr std::array<std::string_view, 6> kTypeNames = {"Real", "Integer", "String",
                                                        "Enum", "Date",    "Boolean"};

template <typename T>
const T* FindByName(const std::vector<T>& items, std::string_view name) {
  for (const T& item : items) {
    if (item.name == name) return &item;
  }
  return nullptr;
}

}  // namespace

std::string_view TypeName(AttributeType type) { return kTypeNames[static_cast<size_t>(type)]; }

bool ParseTypeName(std::string_view text, AttributeType* type) {
  for (size_t i = 0; i < kTypeNames.size(); ++i) {
    if (kTypeNames[i] == text) {
      *type = static_cast<AttributeType>(i);
      return true;
    }
  }
  return false;
}

const Unit* QuantityType::FindUnit(std::string_view name) const {
  for (const Unit& unit : units) {
    if (unit.system_name == name) return &unit;
  }
  for (const Unit& unit : units) {
    if (unit.text == name) return &unit;
  }
  return nullptr;
}

const Unit* QuantityType::UnitOfStandard(std::string_view standard) const {
  for (const auto& [standard_name, unit_name] : standard_units) {
    if (EqualsAsciiNoCase(standard_name, standard)) return FindUnit(unit_name);
  }
  return nullptr;
}

const Route* ClassView::FindRoute(std::string_view route) const {
  return FindByName(routes, route);
}

const ClassView* Catalog::FindClassView(std::string_view name) const {
  return FindByName(class_views, name);
}

const QuantityType* Catalog::FindQuantityType(std::string_view name) const {
  return FindByName(quantity_types, name);
}

const Case* Catalog::FindCase(int32_t oid) const {
  for (const Case& c : cases) {
    if (c.oid == oid) return &c;
  }
  return nullptr;
}

}  // namespace ovc::orvan
