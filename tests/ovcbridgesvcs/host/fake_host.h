#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "automation/class_registry.h"
#include "automation/com_ptr.h"
#include "automation/variant.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/run_method.h"

namespace ovc::host_testing {

// One request a fake data-service call received.
struct RecordedCall {
  int32_t option = -1;
  std::wstring service;
  std::wstring method;
  std::wstring request;
  std::vector<std::wstring> parameters;  // "name=value" of each AddParameter
  int32_t execute_flags = -1;
  bool executed = false;
};

struct FakeCase {
  std::wstring name;
  int32_t oid = 0;
};

// What the fake host answers and what it was asked. Shared by the fake
// components, which may outlive the test's FakeHost.
struct FakeHostData {
  // The cases of each case-list scope (-1: all cases of the workspace).
  std::map<int32_t, std::vector<FakeCase>> cases;
  int32_t governing_case = 0;
  std::vector<std::wstring> unit_standard_names;
  // Responses of the data service by method name; unknown methods answer "".
  std::map<std::wstring, std::wstring> responses;
  // Members that fail with their code ("Execute", "ResponseText",
  // "NewDataServiceCall", "MethodName", "FieldFormatter.Workspace",
  // "UnitStandardNames", "CaseList.Count", "GoverningCase", ...), leaving an
  // error object whose description is "<member> failed".
  std::map<std::wstring, HRESULT> failures;
  // Members that throw the given exception instead of answering.
  std::map<std::wstring, std::exception_ptr> throws;

  std::vector<RecordedCall> calls;
  std::vector<int32_t> case_list_scopes;
  std::vector<IDispatch*> case_list_workspaces;  // identities only, not held
  int32_t governing_case_asks = 0;
  Variant governing_case_scope;
  IDispatch* formatter_workspace = nullptr;  // identity only, not held
  int32_t file_services_made = 0;

  // The failure configured for `member` with its error object set, or S_OK;
  // throws what `throws` gives for it.
  HRESULT Fails(const std::wstring& member) const;
};

// Host components of the test's own, registered in the process under the
// host's class identifiers (case list, governing case, field formatter, file
// service) for the life of the object, and the workspace and cache objects
// a host would hand to Orvan.Initialize.
class FakeHost {
 public:
  FakeHost();
  ~FakeHost();

  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  FakeHostData& data() { return *data_; }

  ComPtr<IOVWorkspace> NewWorkspace() const;
  ComPtr<IOVCache> NewCache() const;

  // Revokes the class object of `clsid`, as if the class were not installed.
  void Unregister(const CLSID& clsid);

 private:
  std::shared_ptr<FakeHostData> data_;
  std::map<CLSID, uint32_t> cookies_;
};

// The thread's error object, which is taken: its description and source
// (both empty when there is none).
struct ThreadError {
  std::wstring description;
  std::wstring source;
};
ThreadError TakeThreadError();

// Runs `body` (taking the frame) as the body of a method "Test::Run" and
// returns its status; the failure is left on the thread.
template <class Body>
HRESULT RunInFrame(Body&& body) {
  CMethodFrame frame(L"Test::Run");
  return RunMethod(frame, [&] { body(frame); });
}

}  // namespace ovc::host_testing
