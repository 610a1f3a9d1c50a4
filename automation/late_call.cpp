#include "automation/late_call.h"

#include <algorithm>
#include <string>

namespace ovc {
namespace {

HRESULT Dispatch(IDispatch* object, std::wstring_view name, uint16_t flags,
                 std::vector<Variant>& args, Variant* result, EXCEPINFO* error,
                 uint32_t* arg_error) {
  if (object == nullptr) return E_POINTER;
  const std::wstring member(name);
  DISPID id = DISPID_UNKNOWN;
  if (HRESULT hr = object->GetIDsOfNames(IID_NULL, &member, 1, 0, &id); Failed(hr)) return hr;
  std::reverse(args.begin(), args.end());
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{args.data(), nullptr, static_cast<uint32_t>(args.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.named_ids = &put;
    params.named_count = 1;
  }
  return object->Invoke(id, IID_NULL, 0, flags, &params, result, error, arg_error);
}

}  // namespace

HRESULT CallByName(IDispatch* object, std::wstring_view name, uint16_t flags,
                   std::vector<Variant> args, Variant* result, EXCEPINFO* error,
                   uint32_t* arg_error) {
  if (error != nullptr) *error = EXCEPINFO();
  const HRESULT hr = Dispatch(object, name, flags, args, result, error, arg_error);
  if (Failed(hr) && error != nullptr) {
    error->scode = hr;
    if (error->description.empty()) error->description = SystemMessage(hr).value_or(L"");
  }
  return hr;
}

}  // namespace ovc
