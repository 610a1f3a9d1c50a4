#pragma once

#include <memory>
#include <string>

#include "orvan/components/component.h"
#include "orvan/storage/records.h"

namespace ovc::orvan::components {

// "Orvan.QuantityType": one quantity type with its units, shared with the
// catalog it was read from. One created by name holds none, and its members
// fail.
class QuantityType final : public Component<IOVQuantityType> {
 public:
  QuantityType() = default;
  explicit QuantityType(std::shared_ptr<const orvan::QuantityType> type) : type_(std::move(type)) {}

  HRESULT get_Name(std::wstring* name) override;
  // A new Units collection of the type's units in their order.
  HRESULT get_Units(IDispatch** units) override;
  // A new Unit object for the unit the standard (matched ignoring case)
  // uses; E_INVALIDARG when the type has no unit for that standard.
  HRESULT UnitForStandard(const std::wstring& standard, IDispatch** unit) override;

 private:
  HRESULT Definition(const void* out, const orvan::QuantityType** type) const;

  std::shared_ptr<const orvan::QuantityType> type_;
};

}  // namespace ovc::orvan::components
