#include "orvan/components/governing_case_service.h"

#include "automation/conversion.h"
#include "orvan/components/session_source.h"

namespace ovc::orvan::components {

HRESULT GoverningCaseService::GoverningCase(const Variant& scope, int32_t* oid) {
  if (oid == nullptr) return E_POINTER;
  Variant number;
  if (Failed(VariantChangeType(&number, scope, 0, VT_I4)) || number.i4() != -1) {
    return Fail(E_INVALIDARG,
                L"The governing case is known only for the scope -1 (the workspace).");
  }
  if (session_ == nullptr) {
    return Fail(E_UNEXPECTED,
                L"The governing-case service has no workspace; set its Workspace property first.");
  }
  const Catalog* catalog = nullptr;
  if (HRESULT hr = Report(session_->GetCatalog(&catalog)); Failed(hr)) return hr;
  *oid = catalog->governing_case;
  return S_OK;
}

HRESULT GoverningCaseService::put_Workspace(IDispatch* workspace) {
  return Report(SessionOf(workspace, &session_));
}

}  // namespace ovc::orvan::components
