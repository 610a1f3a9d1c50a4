#pragma once

#include <string_view>

#include "orvan/status.h"
#include "orvan/storage/records.h"

namespace ovc::orvan {

// A value in `unit` expressed in the quantity type's base unit, and back.
double ToBase(const Unit& unit, double value);
double FromBase(const Unit& unit, double base);

// The unit a request asks for, for an attribute of quantity type `type`:
// - `units` (when not empty) names a unit of the type, by system name or text;
// - otherwise `unit_set` (when not empty) names a unit standard of the
//   workspace, meaning that standard's unit for the type, or else a unit;
// - otherwise the unit of the workspace default standard (the first).
// A name the type has no unit for is an error whose message says so; the
// value is then never given in another unit.
Status ResolveUnit(const Catalog& catalog, const QuantityType& type, std::string_view units,
                   std::string_view unit_set, const Unit** unit);

}  // namespace ovc::orvan
