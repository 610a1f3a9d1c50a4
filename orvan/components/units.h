#pragma once

#include <memory>
#include <vector>

#include "orvan/components/component.h"
#include "orvan/storage/records.h"

namespace ovc::orvan::components {

// "Orvan.Units": the units of a quantity type, numbered from 1, shared with
// it. One created by name is empty.
class Units final : public Component<IOVUnits> {
 public:
  Units() = default;
  explicit Units(std::shared_ptr<const std::vector<orvan::Unit>> units)
      : units_(std::move(units)) {}

  // A new Unit object; DISP_E_BADINDEX outside 1..Count.
  HRESULT get_Item(int32_t position, IDispatch** unit) override;
  HRESULT get_Count(int32_t* count) override;

 private:
  // The units of the type; null for an empty collection.
  std::shared_ptr<const std::vector<orvan::Unit>> units_;
  size_t size() const { return units_ ? units_->size() : 0; }
};

}  // namespace ovc::orvan::components
