#pragma once

#include <memory>
#include <string>

#include "orvan/components/component.h"
#include "orvan/components/session.h"

namespace ovc::orvan::components {

// "Orvan.Cache": read-only views of a workspace's definitions. A cache taken
// from Workspace.Cache reads that workspace; one created by name reads the
// workspace given to its Workspace property, and fails until then.
class Cache final : public Component<IOVCache> {
 public:
  Cache() = default;
  explicit Cache(std::shared_ptr<Session> session) : session_(std::move(session)) {}

  HRESULT get_UnitStandardNames(Variant* names) override;
  // A new ClassView / QuantityType object sharing the definition of that
  // name (matched exactly) as the cache reads it now; E_INVALIDARG when
  // there is none.
  HRESULT ClassView(const std::wstring& name, IDispatch** class_view) override;
  HRESULT QuantityType(const std::wstring& name, IDispatch** quantity_type) override;
  HRESULT put_Workspace(IDispatch* workspace) override;

 private:
  Status GetCatalog(std::shared_ptr<const Catalog>* catalog) const;

  std::shared_ptr<Session> session_;
};

}  // namespace ovc::orvan::components
