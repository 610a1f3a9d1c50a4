#include "orvan/components/data_service_call.h"

#include "automation/conversion.h"
#include "automation/text.h"

namespace ovc::orvan::components {

HRESULT DataServiceCall::put_Option(int32_t) { return S_OK; }

HRESULT DataServiceCall::put_ServiceName(const std::wstring& service) {
  request_.service = service;
  return S_OK;
}

HRESULT DataServiceCall::put_MethodName(const std::wstring& method) {
  request_.method = method;
  return S_OK;
}

HRESULT DataServiceCall::put_RequestText(const std::wstring& text) {
  request_.text = text;
  return S_OK;
}

HRESULT DataServiceCall::AddParameter(const std::wstring& name, const Variant& value) {
  Variant text;
  if (HRESULT hr = VariantChangeType(&text, value, 0, VT_BSTR); Failed(hr)) {
    return Fail(hr, L"The value of parameter '" + name + L"' cannot be taken as text.");
  }
  request_.parameters.emplace_back(name, text.bstr());
  return S_OK;
}

HRESULT DataServiceCall::Execute(int32_t) {
  response_.reset();
  if (session_ == nullptr) {
    return Fail(E_UNEXPECTED,
                L"This call has no workspace; get it from Workspace.NewDataServiceCall.");
  }
  Store* store = nullptr;
  if (HRESULT hr = Report(session_->GetStore(&store)); Failed(hr)) return hr;
  ServiceResponse response = DataService(store, session_->user()).Execute(request_);
  response_ = std::move(response.text);
  return Report(response.status);
}

HRESULT DataServiceCall::get_ResponseText(std::wstring* text) {
  if (text == nullptr) return E_POINTER;
  if (!response_) return Fail(E_UNEXPECTED, L"The call has not been executed yet.");
  *text = *response_;
  return S_OK;
}

}  // namespace ovc::orvan::components
