#pragma once

#include <string>
#include <vector>

#include "automation/dispatch.h"
#include "automation/error_info.h"
#include "tests/fuzz/fuzz_support.h"

// Late-bound calls for the targets that drive an automation object model.
namespace ovc::fuzz {

// Calls member `name` by name as late-bound clients do (arguments in natural
// order) and checks the error convention: a failure leaves a description.
inline HRESULT Call(IDispatch* object, const std::wstring& name, uint16_t flags,
                    std::vector<Variant> args, Variant* result) {
  DISPID id = DISPID_UNKNOWN;
  Require(Succeeded(object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id)),
          "every member has a DISPID");
  std::vector<Variant> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
  const HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr);
  if (Failed(hr)) Require(!TakeErrorDescription().empty(), "a failure says why");
  return hr;
}

inline Variant Get(IDispatch* object, const wchar_t* member, std::vector<Variant> args = {}) {
  Variant value;
  Call(object, member, DISPATCH_PROPERTYGET, std::move(args), &value);
  return value;
}

}  // namespace ovc::fuzz
