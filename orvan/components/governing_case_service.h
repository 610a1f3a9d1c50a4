#pragma once

#include <memory>

#include "orvan/components/component.h"
#include "orvan/components/session.h"

namespace ovc::orvan::components {

// "Orvan.GoverningCase": the governing case of the workspace given to its
// Workspace property; GoverningCase fails until then.
class GoverningCaseService final : public Component<IOVGoverningCase> {
 public:
  // `scope` must convert to the integer -1 (the workspace); *oid is the
  // workspace's governing case, 0 when it has none. E_INVALIDARG for any
  // other scope.
  HRESULT GoverningCase(const Variant& scope, int32_t* oid) override;
  HRESULT put_Workspace(IDispatch* workspace) override;

 private:
  std::shared_ptr<Session> session_;
};

}  // namespace ovc::orvan::components
