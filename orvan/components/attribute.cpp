#include "orvan/components/attribute.h"

#include "automation/text.h"

namespace ovc::orvan::components {

HRESULT Attribute::Definition(const void* out, const Route** route) const {
  if (out == nullptr) return E_POINTER;
  if (!route_) {
    return Fail(E_UNEXPECTED,
                L"This attribute holds no definition; get it from ClassView.Attribute.");
  }
  *route = route_.get();
  return S_OK;
}

HRESULT Attribute::get_Route(std::wstring* name) {
  return Get(name, [](const Route& route) { return FromUtf8(route.name); });
}

HRESULT Attribute::get_Type(std::wstring* type) {
  return Get(type, [](const Route& route) { return FromUtf8(TypeName(route.type)); });
}

HRESULT Attribute::get_QuantityTypeName(std::wstring* name) {
  return Get(name, [](const Route& route) { return FromUtf8(route.quantity_type); });
}

HRESULT Attribute::get_IsVector(VARIANT_BOOL* vector) {
  return Get(vector,
             [](const Route& route) { return route.vector ? VARIANT_TRUE : VARIANT_FALSE; });
}

HRESULT Attribute::get_ReadOnly(VARIANT_BOOL* read_only) {
  return Get(read_only,
             [](const Route& route) { return route.read_only ? VARIANT_TRUE : VARIANT_FALSE; });
}

HRESULT Attribute::get_EnumTexts(Variant* texts) {
  return Get(texts, [](const Route& route) { return TextArray(route.enum_texts); });
}

}  // namespace ovc::orvan::components
