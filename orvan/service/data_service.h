#pragma once

#include <string>
#include <utility>
#include <vector>

#include "orvan/status.h"
#include "orvan/storage/store.h"

namespace ovc::orvan {

// One call of a data service: the service and method names, the request
// text (may be empty) and named parameters.
struct ServiceRequest {
  std::wstring service;
  std::wstring method;
  std::wstring text;
  std::vector<std::pair<std::wstring, std::wstring>> parameters;
};

// The answer. `text` is always set: the answer the caller reads when status
// is ok, otherwise an <Error Service=".." Method=".." Message=".."/> document
// whose message is also status.message().
struct ServiceResponse {
  Status status;
  std::wstring text;
};

// The host's data services "OVDBBridgeSvcs.Main" and "OVDBGenericSvcs.Main",
// answering requests on one workspace as one user. Each request runs in one
// transaction: what it changes is stored whole or not at all.
class DataService {
 public:
  // `store` is not owned and must outlive the service.
  DataService(Store* store, std::wstring user) : store_(store), user_(std::move(user)) {}

  const std::wstring& user() const { return user_; }
  void set_user(std::wstring user) { user_ = std::move(user); }

  ServiceResponse Execute(const ServiceRequest& request);

 private:
  Store* store_;
  std::wstring user_;
};

}  // namespace ovc::orvan
