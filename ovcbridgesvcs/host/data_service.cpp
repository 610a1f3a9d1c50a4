#include "ovcbridgesvcs/host/data_service.h"

#include <string>

#include "automation/com_ptr.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"

namespace ovc {
namespace {

// A new call object of `workspace`, or the failure of getting one.
HRESULT NewCall(IOVWorkspace* workspace, ComPtr<IOVDataServiceCall>* call) {
  if (workspace == nullptr) return E_POINTER;
  ComPtr<IDispatch> dispatch;
  const HRESULT hr = workspace->NewDataServiceCall(dispatch.Receive());
  if (Failed(hr)) return hr;
  return dispatch.As(call);
}

HRESULT SetUp(IOVDataServiceCall& call, const DataServiceRequest& request) {
  HRESULT hr = call.put_Option(0);
  if (Succeeded(hr)) hr = call.put_ServiceName(std::wstring(request.service));
  if (Succeeded(hr)) hr = call.put_MethodName(std::wstring(request.method));
  if (Succeeded(hr)) hr = call.put_RequestText(std::wstring(request.text));
  for (const DataServiceParameter& parameter : request.parameters) {
    if (Failed(hr)) break;
    hr = call.AddParameter(std::wstring(parameter.name), parameter.value);
  }
  return hr;
}

}  // namespace

std::wstring OidRequest(std::wstring_view element, int32_t oid) {
  return L"<" + std::wstring(element) + L" OID=\"" + std::to_wstring(oid) + L"\"/>";
}

std::wstring_view DataServiceFailureTexts::For(DataServiceStep step) const {
  switch (step) {
    case DataServiceStep::kNewCall:
      return new_call;
    case DataServiceStep::kExecute:
      return execute;
    case DataServiceStep::kResponse:
      return response;
    case DataServiceStep::kNone:
    case DataServiceStep::kSetUp:
      break;
  }
  return {};
}

HRESULT RunDataServiceCall(IOVWorkspace* workspace, const DataServiceRequest& request,
                           std::wstring* response, DataServiceStep* failed_step) {
  *failed_step = DataServiceStep::kNewCall;
  ComPtr<IOVDataServiceCall> call;
  HRESULT hr = NewCall(workspace, &call);
  if (Failed(hr)) return hr;
  *failed_step = DataServiceStep::kSetUp;
  if (Failed(hr = SetUp(*call, request))) return hr;
  *failed_step = DataServiceStep::kExecute;
  if (Failed(hr = call->Execute(0))) return hr;
  *failed_step = DataServiceStep::kResponse;
  std::wstring text;
  if (Failed(hr = call->get_ResponseText(&text))) return hr;
  *failed_step = DataServiceStep::kNone;
  *response = std::move(text);
  return S_OK;
}

std::wstring CallDataService(CMethodFrame& frame, IOVWorkspace* workspace,
                             const DataServiceRequest& request,
                             const DataServiceFailureTexts& texts, const SourceLocation& where) {
  std::wstring response;
  DataServiceStep step = DataServiceStep::kNone;
  if (Failed(CheckResult(frame, RunDataServiceCall(workspace, request, &response, &step)))) {
    RaiseErrorText(frame, where, std::nullopt, texts.For(step));
  }
  return response;
}

HRESULT ReportDataServiceFailure(CMethodFrame& frame, const CLSID& clsid, HRESULT code,
                                 DataServiceStep step, const DataServiceFailureTexts& texts,
                                 const SourceLocation& where) {
  const std::wstring_view text = texts.For(step);
  if (text.empty()) {
    CheckResult(frame, code);
    RaiseError(frame, where);
  }
  return ReportError(clsid, text, IID_NULL, code);
}

}  // namespace ovc
