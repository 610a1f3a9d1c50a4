#include "orvan/components/workspace.h"

#include "automation/text.h"
#include "orvan/components/cache.h"
#include "orvan/components/data_service_call.h"
#include "orvan/json/workspace_json.h"
#include "orvan/storage/copy_workspace.h"

namespace ovc::orvan::components {

HRESULT Workspace::Create(const std::wstring& path) {
  return Report(session_->Create(ToUtf8(path)));
}

HRESULT Workspace::Open(const std::wstring& path) { return Report(session_->Open(ToUtf8(path))); }

HRESULT Workspace::Close() {
  session_->Close();
  return S_OK;
}

HRESULT Workspace::Import(const std::wstring& json_path) {
  Store* store = nullptr;
  if (HRESULT hr = Report(session_->GetStore(&store)); Failed(hr)) return hr;
  session_->ForgetCatalog();
  return Report(ImportWorkspaceFile(store, std::filesystem::path(ToUtf8(json_path))));
}

HRESULT Workspace::Export(const std::wstring& json_path) {
  Store* store = nullptr;
  if (HRESULT hr = Report(session_->GetStore(&store)); Failed(hr)) return hr;
  return Report(ExportWorkspaceFile(store, std::filesystem::path(ToUtf8(json_path))));
}

HRESULT Workspace::CopyTo(const std::wstring& target) {
  Store* store = nullptr;
  if (HRESULT hr = Report(session_->GetStore(&store)); Failed(hr)) return hr;
  return Report(CopyToNewWorkspace(store, ToUtf8(target)));
}

HRESULT Workspace::get_Cache(IDispatch** cache) {
  if (cache == nullptr) return E_POINTER;
  if (!cache_) cache_ = MakeObject<components::Cache>(session_);
  *cache = ComPtr<IDispatch>(cache_).Detach();
  return S_OK;
}

HRESULT Workspace::get_UserName(std::wstring* name) {
  if (name == nullptr) return E_POINTER;
  *name = session_->user();
  return S_OK;
}

HRESULT Workspace::put_UserName(const std::wstring& name) {
  if (name.empty()) return Fail(E_INVALIDARG, L"The user name must not be empty.");
  session_->set_user(name);
  return S_OK;
}

HRESULT Workspace::NewDataServiceCall(IDispatch** call) {
  if (call == nullptr) return E_POINTER;
  *call = MakeObject<DataServiceCall>(session_).Detach();
  return S_OK;
}

HRESULT Workspace::get_UnitStandardNames(Variant* names) {
  if (names == nullptr) return E_POINTER;
  const Catalog* catalog = nullptr;
  if (HRESULT hr = Report(session_->GetCatalog(&catalog)); Failed(hr)) return hr;
  *names = TextArray(catalog->unit_standards);
  return S_OK;
}

HRESULT Workspace::get_DefaultCase(int32_t* oid) {
  if (oid == nullptr) return E_POINTER;
  const Catalog* catalog = nullptr;
  if (HRESULT hr = Report(session_->GetCatalog(&catalog)); Failed(hr)) return hr;
  *oid = catalog->default_case;
  return S_OK;
}

HRESULT Workspace::get_Path(std::wstring* path) {
  if (path == nullptr) return E_POINTER;
  *path = FromUtf8(session_->location());
  return S_OK;
}

}  // namespace ovc::orvan::components
