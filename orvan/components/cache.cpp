#include "orvan/components/cache.h"

#include "automation/text.h"
#include "orvan/components/class_view.h"
#include "orvan/components/quantity_type.h"
#include "orvan/components/session_source.h"

namespace ovc::orvan::components {

Status Cache::GetCatalog(std::shared_ptr<const Catalog>* catalog) const {
  if (session_ == nullptr) {
    return Status::Refused("The cache has no workspace; set its Workspace property first.");
  }
  return session_->GetSharedCatalog(catalog);
}

HRESULT Cache::get_UnitStandardNames(Variant* names) {
  if (names == nullptr) return E_POINTER;
  std::shared_ptr<const Catalog> catalog;
  if (HRESULT hr = Report(GetCatalog(&catalog)); Failed(hr)) return hr;
  *names = TextArray(catalog->unit_standards);
  return S_OK;
}

HRESULT Cache::ClassView(const std::wstring& name, IDispatch** class_view) {
  if (class_view == nullptr) return E_POINTER;
  std::shared_ptr<const Catalog> catalog;
  if (HRESULT hr = Report(GetCatalog(&catalog)); Failed(hr)) return hr;
  const orvan::ClassView* found = catalog->FindClassView(ToUtf8(name));
  if (found == nullptr) return Fail(E_INVALIDARG, L"There is no class view '" + name + L"'.");
  *class_view = MakeObject<components::ClassView>(Share(catalog, found)).Detach();
  return S_OK;
}

HRESULT Cache::QuantityType(const std::wstring& name, IDispatch** quantity_type) {
  if (quantity_type == nullptr) return E_POINTER;
  std::shared_ptr<const Catalog> catalog;
  if (HRESULT hr = Report(GetCatalog(&catalog)); Failed(hr)) return hr;
  const orvan::QuantityType* found = catalog->FindQuantityType(ToUtf8(name));
  if (found == nullptr) return Fail(E_INVALIDARG, L"There is no quantity type '" + name + L"'.");
  *quantity_type = MakeObject<components::QuantityType>(Share(catalog, found)).Detach();
  return S_OK;
}

HRESULT Cache::put_Workspace(IDispatch* workspace) {
  return Report(SessionOf(workspace, &session_));
}

}  // namespace ovc::orvan::components
