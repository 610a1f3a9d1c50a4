#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/dispatch.h"
#include "orvan/orvan.h"

// What the AutoRun benchmark's floor does without the library: the host's
// attribute requests written and read directly, and late-bound calls by
// DISPIDs looked up once, as the library makes them.
namespace ovc::bench {

// The attributes of one host object that a request names, all real values
// in kPa of case 101.
struct HostObject {
  int32_t oid = -1;
  std::wstring class_view;
  std::vector<std::wstring> routes;
};

// One object's values, in the order of its routes.
using Values = std::vector<double>;

// One "ReadAttributes" request of `objects`: the value of each route in
// *values. False when the request fails or an answer holds no number.
bool ReadHost(IOVWorkspace* workspace, const std::vector<HostObject>& objects,
              std::vector<Values>* values);

// One "WriteAttributes" request storing values[i][k] at route k of object
// i. False when the request fails.
bool WriteHost(IOVWorkspace* workspace, const std::vector<HostObject>& objects,
               const std::vector<Values>& values);

// A member of a late-bound object; its DISPID is looked up at the first
// call and kept.
struct Member {
  std::wstring name;
  DISPID id = DISPID_UNKNOWN;
};

// Invokes `member` of `object` with `args` in natural order; a put passes
// the last as the named DISPID_PROPERTYPUT argument.
HRESULT Invoke(IDispatch* object, Member& member, uint16_t flags, std::vector<Variant> args = {},
               Variant* result = nullptr);

// The object `member` gives, or null.
ComPtr<IDispatch> GetObject(IDispatch* object, Member& member, std::vector<Variant> args = {});

}  // namespace ovc::bench
