#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "automation/guid.h"
#include "automation/hresult.h"
#include "automation/variant.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/source_location.h"

namespace ovc {

// The host's data services.
inline constexpr std::wstring_view kBridgeService = L"OVDBBridgeSvcs.Main";
inline constexpr std::wstring_view kGenericService = L"OVDBGenericSvcs.Main";

// A named parameter of a request ("FilterView" of "ListObjects").
struct DataServiceParameter {
  std::wstring_view name;
  Variant value;
};

// One request to a host data service. The request text may be empty.
struct DataServiceRequest {
  std::wstring_view service;
  std::wstring_view method;
  std::wstring_view text = {};
  std::span<const DataServiceParameter> parameters = {};
};

// "<element OID="oid"/>", the request that names one record.
std::wstring OidRequest(std::wstring_view element, int32_t oid);

// The steps of a call, in the order they run. kSetUp is any of: option 0,
// service name, method name, request text, parameters.
enum class DataServiceStep { kNone, kNewCall, kSetUp, kExecute, kResponse };

// What a request says when one of its steps fails, e.g.
// {L"NewDataServiceCall error.\nFailed to Create Bridge.", ...}. Set-up
// steps have no text of their own; neither has a step whose text is empty.
struct DataServiceFailureTexts {
  std::wstring_view new_call;
  std::wstring_view execute;
  std::wstring_view response;

  // The text of `step`; empty for kNone and kSetUp.
  std::wstring_view For(DataServiceStep step) const;
};

// Runs `request` on a new call object of `workspace`, in the host's order:
// NewDataServiceCall, Option 0, ServiceName, MethodName, RequestText, the
// parameters, Execute(0), ResponseText. Returns S_OK with the response in
// *response, or the first failing step's code with that step in
// *failed_step (kNone on success) and the thread's error object as the
// component left it. A null `workspace` fails at kNewCall with E_POINTER.
HRESULT RunDataServiceCall(IOVWorkspace* workspace, const DataServiceRequest& request,
                           std::wstring* response, DataServiceStep* failed_step);

// RunDataServiceCall for a method that raises its failures: returns the
// response text, or takes the failure into `frame` (CheckResult) and raises
// it (RaiseError) with the failing step's text from `texts`, without text
// for a step that has none.
std::wstring CallDataService(CMethodFrame& frame, IOVWorkspace* workspace,
                             const DataServiceRequest& request,
                             const DataServiceFailureTexts& texts = {},
                             const SourceLocation& where = SourceLocation::Current());

// For a method that reports rather than raises the failure `code` of a call
// at `step`: a step with a text in `texts` is reported (ReportError for
// class `clsid` with that text and `code`) and `code` returned; a step
// without one is raised through `frame` as CallDataService does. The
// thread's error object must still be the one the failing component left.
HRESULT ReportDataServiceFailure(CMethodFrame& frame, const CLSID& clsid, HRESULT code,
                                 DataServiceStep step, const DataServiceFailureTexts& texts,
                                 const SourceLocation& where = SourceLocation::Current());

}  // namespace ovc
