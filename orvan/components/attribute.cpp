#include "orvan/components/attribute.h"

#include "automation/text.h"

namespace ovc::orvan::components {

HRESULT Attribute::Definition(const void* out, const Route** route) const {
  if (out == nullptr) return E_POINTER;
  if (!route_) {
    return Fail(E_UNEXPECTED,
                L"This attribute holds no definition; get it from ClassView.Attribute.");
  }
  *route = &*route_;
  return S_OK;
}

HRESULT Attribute::get_Route(std::wstring* name) {
  const Route* route = nullptr;
  if (HRESULT hr = Definition(name, &route); Failed(hr)) return hr;
  *name = FromUtf8(route->name);
  return S_OK;
}

HRESULT Attribute::get_Type(std::wstring* type) {
  const Route* route = nullptr;
  if (HRESULT hr = Definition(type, &route); Failed(hr)) return hr;
  *type = FromUtf8(TypeName(route->type));
  return S_OK;
}

HRESULT Attribute::get_QuantityTypeName(std::wstring* name) {
  const Route* route = nullptr;
  if (HRESULT hr = Definition(name, &route); Failed(hr)) return hr;
  *name = FromUtf8(route->quantity_type);
  return S_OK;
}

HRESULT Attribute::get_IsVector(VARIANT_BOOL* vector) {
  const Route* route = nullptr;
  if (HRESULT hr = Definition(vector, &route); Failed(hr)) return hr;
  *vector = route->vector ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Attribute::get_ReadOnly(VARIANT_BOOL* read_only) {
  const Route* route = nullptr;
  if (HRESULT hr = Definition(read_only, &route); Failed(hr)) return hr;
  *read_only = route->read_only ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Attribute::get_EnumTexts(Variant* texts) {
  const Route* route = nullptr;
  if (HRESULT hr = Definition(texts, &route); Failed(hr)) return hr;
  *texts = TextArray(route->enum_texts);
  return S_OK;
}

}  // namespace ovc::orvan::components
