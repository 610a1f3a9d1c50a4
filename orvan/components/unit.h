#pragma once

#include <optional>
#include <string>

#include "orvan/components/component.h"
#include "orvan/storage/records.h"

namespace ovc::orvan::components {

// "Orvan.Unit": a copy of one unit of measure. One created by name holds
// none, and its members fail.
class Unit final : public Component<IOVUnit> {
 public:
  Unit() = default;
  explicit Unit(orvan::Unit unit) : unit_(std::move(unit)) {}

  HRESULT get_UnitSystemName(std::wstring* name) override;
  HRESULT get_UnitText(std::wstring* text) override;
  // base value = value * Factor + Offset
  HRESULT get_Factor(double* factor) override;
  HRESULT get_Offset(double* offset) override;

 private:
  HRESULT Definition(const void* out, const orvan::Unit** unit) const;

  std::optional<orvan::Unit> unit_;
};

}  // namespace ovc::orvan::components
