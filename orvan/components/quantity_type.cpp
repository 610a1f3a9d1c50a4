#include "orvan/components/quantity_type.h"

#include "automation/text.h"
#include "orvan/components/unit.h"
#include "orvan/components/units.h"

namespace ovc::orvan::components {

HRESULT QuantityType::Definition(const void* out, const orvan::QuantityType** type) const {
  if (out == nullptr) return E_POINTER;
  if (!type_) {
    return Fail(E_UNEXPECTED,
                L"This quantity type holds no definition; get it from Cache.QuantityType.");
  }
  *type = type_.get();
  return S_OK;
}

HRESULT QuantityType::get_Name(std::wstring* name) {
  const orvan::QuantityType* type = nullptr;
  if (HRESULT hr = Definition(name, &type); Failed(hr)) return hr;
  *name = FromUtf8(type->name);
  return S_OK;
}

HRESULT QuantityType::get_Units(IDispatch** units) {
  const orvan::QuantityType* type = nullptr;
  if (HRESULT hr = Definition(units, &type); Failed(hr)) return hr;
  *units = MakeObject<components::Units>(Share(type_, &type->units)).Detach();
  return S_OK;
}

HRESULT QuantityType::UnitForStandard(const std::wstring& standard, IDispatch** unit) {
  const orvan::QuantityType* type = nullptr;
  if (HRESULT hr = Definition(unit, &type); Failed(hr)) return hr;
  const orvan::Unit* found = type->UnitOfStandard(ToUtf8(standard));
  if (found == nullptr) {
    return Fail(E_INVALIDARG, L"The quantity type '" + FromUtf8(type->name) +
                                  L"' has no unit for the unit standard '" + standard + L"'.");
  }
  *unit = MakeObject<components::Unit>(Share(type_, found)).Detach();
  return S_OK;
}

}  // namespace ovc::orvan::components
