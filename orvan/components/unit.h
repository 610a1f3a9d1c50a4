#pragma once

#include <memory>
#include <string>

#include "orvan/components/component.h"
#include "orvan/storage/records.h"

namespace ovc::orvan::components {

// "Orvan.Unit": one unit of measure, shared with its quantity type. One
// created by name holds none, and its members fail.
class Unit final : public Component<IOVUnit> {
 public:
  Unit() = default;
  explicit Unit(std::shared_ptr<const orvan::Unit> unit) : unit_(std::move(unit)) {}

  HRESULT get_UnitSystemName(std::wstring* name) override;
  HRESULT get_UnitText(std::wstring* text) override;
  // base value = value * Factor + Offset
  HRESULT get_Factor(double* factor) override;
  HRESULT get_Offset(double* offset) override;

 private:
  HRESULT Definition(const void* out, const orvan::Unit** unit) const;

  std::shared_ptr<const orvan::Unit> unit_;
};

}  // namespace ovc::orvan::components
