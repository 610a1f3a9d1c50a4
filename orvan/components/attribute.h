#pragma once

#include <memory>
#include <string>

#include "orvan/components/component.h"
#include "orvan/storage/records.h"

namespace ovc::orvan::components {

// "Orvan.Attribute": one attribute route's definition, shared with its class
// view. One created by name holds none, and its members fail.
class Attribute final : public Component<IOVAttribute> {
 public:
  Attribute() = default;
  explicit Attribute(std::shared_ptr<const Route> route) : route_(std::move(route)) {}

  HRESULT get_Route(std::wstring* route) override;
  HRESULT get_Type(std::wstring* type) override;              // "Real", "Integer", ...
  HRESULT get_QuantityTypeName(std::wstring* name) override;  // empty without units
  HRESULT get_IsVector(VARIANT_BOOL* vector) override;
  HRESULT get_ReadOnly(VARIANT_BOOL* read_only) override;
  HRESULT get_EnumTexts(Variant* texts) override;  // empty array unless an Enum

 private:
  // S_OK with *route set, or the failure of an empty attribute.
  HRESULT Definition(const void* out, const Route** route) const;
  // Stores read(definition) in *out: the shape of every property get.
  template <class T, class Read>
  HRESULT Get(T* out, Read read) const {
    const Route* route = nullptr;
    if (HRESULT hr = Definition(out, &route); Failed(hr)) return hr;
    *out = read(*route);
    return S_OK;
  }

  std::shared_ptr<const Route> route_;
};

}  // namespace ovc::orvan::components
