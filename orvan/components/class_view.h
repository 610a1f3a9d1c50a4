#pragma once

#include <memory>
#include <string>

#include "orvan/components/component.h"
#include "orvan/storage/records.h"

namespace ovc::orvan::components {

// "Orvan.ClassView": one class view's definition, shared with the catalog
// it was read from. One created by name holds none, and its members fail.
class ClassView final : public Component<IOVClassView> {
 public:
  ClassView() = default;
  explicit ClassView(std::shared_ptr<const orvan::ClassView> view) : view_(std::move(view)) {}

  HRESULT get_Name(std::wstring* name) override;
  // A new Attribute object for the route (matched exactly); E_INVALIDARG
  // when the class view has no such route.
  HRESULT Attribute(const std::wstring& route, IDispatch** attribute) override;
  HRESULT get_AttributeRoutes(Variant* routes) override;

 private:
  HRESULT Definition(const void* out, const orvan::ClassView** view) const;

  std::shared_ptr<const orvan::ClassView> view_;
};

}  // namespace ovc::orvan::components
