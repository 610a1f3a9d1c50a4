#pragma once

#include <memory>
#include <optional>
#include <string>

#include "orvan/components/component.h"
#include "orvan/components/session.h"
#include "orvan/service/data_service.h"

namespace ovc::orvan::components {

// "Orvan.DataServiceCall": one request to a data service of the workspace
// that made it (Workspace.NewDataServiceCall). Set the service, method,
// request text and parameters, Execute, then read ResponseText. One created
// by name has no workspace, and its Execute fails.
class DataServiceCall final : public Component<IOVDataServiceCall> {
 public:
  DataServiceCall() = default;
  explicit DataServiceCall(std::shared_ptr<Session> session) : session_(std::move(session)) {}

  // The option has no effect; any value is accepted.
  HRESULT put_Option(int32_t option) override;
  HRESULT put_ServiceName(const std::wstring& service) override;
  HRESULT put_MethodName(const std::wstring& method) override;
  HRESULT put_RequestText(const std::wstring& text) override;
  // Adds a named parameter ("FilterView"); the value is taken as text.
  // DISP_E_TYPEMISMATCH for a value that has no text (an array, an object
  // without a default value).
  HRESULT AddParameter(const std::wstring& name, const Variant& value) override;
  // Runs the request in one transaction as the workspace's user. A request
  // the service refuses (unknown service or method, malformed request,
  // storage failure) fails with an error object saying why; ResponseText is
  // then an <Error> document with the same message. `flags` has no effect.
  HRESULT Execute(int32_t flags) override;
  // The answer of the last Execute; fails before the first.
  HRESULT get_ResponseText(std::wstring* text) override;

 private:
  std::shared_ptr<Session> session_;
  ServiceRequest request_;
  std::optional<std::wstring> response_;
};

}  // namespace ovc::orvan::components
