#pragma once

#include <cstdint>

#include "automation/dispatch.h"
#include "automation/type_info.h"
#include "automation/variant.h"

namespace ovc {

// A check in front of the member a call resolved to: a failure it returns,
// with the thread's error object set, is the call's result, and the member is
// not called.
using MemberGate = HRESULT (*)(const MemberInfo& member);

// DispatchInvoke (dispatch_impl.h) through `gate` (null: none).
HRESULT GatedDispatchInvoke(const InterfaceInfo& info, IDispatch* self, DISPID id, uint16_t flags,
                            DISPPARAMS* params, Variant* result, EXCEPINFO* exception,
                            uint32_t* arg_error, MemberGate gate);

}  // namespace ovc
