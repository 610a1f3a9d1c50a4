#include "orvan/components/unit.h"

#include "automation/text.h"

namespace ovc::orvan::components {

HRESULT Unit::Definition(const void* out, const orvan::Unit** unit) const {
  if (out == nullptr) return E_POINTER;
  if (!unit_) {
    return Fail(E_UNEXPECTED, L"This unit holds no definition; get it from a quantity type.");
  }
  *unit = unit_.get();
  return S_OK;
}

HRESULT Unit::get_UnitSystemName(std::wstring* name) {
  const orvan::Unit* unit = nullptr;
  if (HRESULT hr = Definition(name, &unit); Failed(hr)) return hr;
  *name = FromUtf8(unit->system_name);
  return S_OK;
}

HRESULT Unit::get_UnitText(std::wstring* text) {
  const orvan::Unit* unit = nullptr;
  if (HRESULT hr = Definition(text, &unit); Failed(hr)) return hr;
  *text = FromUtf8(unit->text);
  return S_OK;
}

HRESULT Unit::get_Factor(double* factor) {
  const orvan::Unit* unit = nullptr;
  if (HRESULT hr = Definition(factor, &unit); Failed(hr)) return hr;
  *factor = unit->factor;
  return S_OK;
}

HRESULT Unit::get_Offset(double* offset) {
  const orvan::Unit* unit = nullptr;
  if (HRESULT hr = Definition(offset, &unit); Failed(hr)) return hr;
  *offset = unit->offset;
  return S_OK;
}

}  // namespace ovc::orvan::components
