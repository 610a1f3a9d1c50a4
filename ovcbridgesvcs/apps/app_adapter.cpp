// The members of an App that its adapter answers.
#include "ovcbridgesvcs/apps/app.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {
HRESULT CApp::ReportNoFile(HRESULT code) {
  return ReportError(CLSID_App, msg::kFileNotSet, IID_NULL, code);
}

template <class Call>
HRESULT CApp::Forward(Call&& call) {
  if (!adapter_) return ReportNoFile();
  return call(*adapter_);
}

HRESULT CApp::get_LocationCount(int32_t* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.get_LocationCount(value); });
}

HRESULT CApp::get_LocationList(Variant* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.get_LocationList(value); });
}

HRESULT CApp::Activate(VARIANT_BOOL visible) {
  return Forward([&](IExternalApp& adapter) { return adapter.Activate(visible); });
}

HRESULT CApp::get_AppFileFilter(std::wstring* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.get_AppFileFilter(value); });
}

HRESULT CApp::TerminateApp(VARIANT_BOOL save) {
  return Forward([&](IExternalApp& adapter) { return adapter.TerminateApp(save); });
}

HRESULT CApp::get_Saved(VARIANT_BOOL* value) {
  if (!adapter_) return GiveFlag(value, false);
  return adapter_->get_Saved(value);
}

HRESULT CApp::DisplayLocation(const std::wstring& location) {
  return Forward([&](IExternalApp& adapter) { return adapter.DisplayLocation(location); });
}

HRESULT CApp::SetValue(const std::wstring& location, const Variant& value) {
  return Forward([&](IExternalApp& adapter) { return adapter.SetValue(location, value); });
}

HRESULT CApp::GetValue(const std::wstring& location, Variant* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.GetValue(location, value); });
}

HRESULT CApp::RefreshLocationMap() {
  return Forward([&](IExternalApp& adapter) { return adapter.RefreshLocationMap(); });
}

HRESULT CApp::PreImport() {
  return Forward([&](IExternalApp& adapter) { return adapter.PreImport(); });
}

HRESULT CApp::PostImport() {
  return Forward([&](IExternalApp& adapter) { return adapter.PostImport(); });
}

HRESULT CApp::PreExport() {
  return Forward([&](IExternalApp& adapter) { return adapter.PreExport(); });
}

HRESULT CApp::PostExport() {
  return Forward([&](IExternalApp& adapter) { return adapter.PostExport(); });
}

HRESULT CApp::RunMacro(const std::wstring& macro) {
  return Forward([&](IExternalApp& adapter) { return adapter.RunMacro(macro); });
}

HRESULT CApp::Save() {
  if (linked_ == VARIANT_TRUE) return S_OK;
  return Forward([&](IExternalApp& adapter) { return adapter.Save(); });
}

HRESULT CApp::get_ReadOnly(VARIANT_BOOL* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.get_ReadOnly(value); });
}

HRESULT CApp::get_LocationExists(const std::wstring& location, VARIANT_BOOL* value) {
  if (HRESULT hr = GiveFlag(value, false); Failed(hr) || !adapter_) return hr;
  return adapter_->LocationExists(location, value);
}

HRESULT CApp::get_StringValuesOnly(VARIANT_BOOL* value) {
  if (HRESULT hr = GiveFlag(value, true); Failed(hr)) return hr;
  return Forward([&](IExternalApp& adapter) { return adapter.get_StringValuesOnly(value); });
}

HRESULT CApp::PutMacro(const std::wstring& value, MacroGet get, MacroPut put) {
  std::wstring current;
  if (adapter_) (adapter_.get()->*get)(&current);
  if (current == value) return S_OK;
  dirty_ = true;
  return Forward([&](IExternalApp& adapter) { return (adapter.*put)(value); });
}

HRESULT CApp::get_MacroPreImport(std::wstring* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.get_MacroPreImport(value); });
}

HRESULT CApp::put_MacroPreImport(const std::wstring& value) {
  return PutMacro(value, &IExternalApp::get_MacroPreImport, &IExternalApp::put_MacroPreImport);
}

HRESULT CApp::get_MacroPostImport(std::wstring* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.get_MacroPostImport(value); });
}

HRESULT CApp::put_MacroPostImport(const std::wstring& value) {
  return PutMacro(value, &IExternalApp::get_MacroPostImport, &IExternalApp::put_MacroPostImport);
}

HRESULT CApp::get_MacroPreExport(std::wstring* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.get_MacroPreExport(value); });
}

HRESULT CApp::put_MacroPreExport(const std::wstring& value) {
  return PutMacro(value, &IExternalApp::get_MacroPreExport, &IExternalApp::put_MacroPreExport);
}

HRESULT CApp::get_MacroPostExport(std::wstring* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.get_MacroPostExport(value); });
}

HRESULT CApp::put_MacroPostExport(const std::wstring& value) {
  return PutMacro(value, &IExternalApp::get_MacroPostExport, &IExternalApp::put_MacroPostExport);
}

HRESULT CApp::get_MacroRelease(std::wstring* value) {
  return Forward([&](IExternalApp& adapter) { return adapter.get_MacroRelease(value); });
}

HRESULT CApp::put_MacroRelease(const std::wstring& value) {
  return PutMacro(value, &IExternalApp::get_MacroRelease, &IExternalApp::put_MacroRelease);
}

HRESULT CApp::SetVectorValue(const std::wstring& location, const Variant& value,
                             VARIANT_BOOL column) {
  return Forward(
      [&](IExternalApp& adapter) { return adapter.SetVectorValue(location, value, column); });
}

HRESULT CApp::CloneLocation(const std::wstring& old_location, const std::wstring& new_location,
                            VARIANT_BOOL remove_old) {
  return Forward([&](IExternalApp& adapter) {
    return adapter.CloneLocation(old_location, new_location, remove_old);
  });
}

HRESULT CApp::DeleteLocationName(const std::wstring& location) {
  return Forward([&](IExternalApp& adapter) { return adapter.DeleteLocationName(location); });
}

HRESULT CApp::SetValueAtSelection(const Variant& value) {
  return Forward([&](IExternalApp& adapter) { return adapter.SetValueAtSelection(value); });
}

HRESULT CApp::SetVectorValueAtSelection(const Variant& value, VARIANT_BOOL column) {
  return Forward(
      [&](IExternalApp& adapter) { return adapter.SetVectorValueAtSelection(value, column); });
}

}  // namespace ovc::apps
