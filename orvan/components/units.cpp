#include "orvan/components/units.h"

#include "orvan/components/unit.h"

namespace ovc::orvan::components {

HRESULT Units::get_Item(int32_t position, IDispatch** unit) {
  if (unit == nullptr) return E_POINTER;
  if (HRESULT hr = CheckPosition(L"unit", position, size()); Failed(hr)) return hr;
  *unit = MakeObject<components::Unit>(Share(units_, &(*units_)[position - 1])).Detach();
  return S_OK;
}

HRESULT Units::get_Count(int32_t* count) {
  if (count == nullptr) return E_POINTER;
  *count = static_cast<int32_t>(size());
  return S_OK;
}

}  // namespace ovc::orvan::components
