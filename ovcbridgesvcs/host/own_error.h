#pragma once

#include <string_view>

#include "automation/error_info.h"
#include "automation/hresult.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/source_location.h"

namespace ovc {

// Raises a failure the library found itself (no component call failed):
// the thread's error object, left over from some earlier failure, is
// dropped first so that it is not chained to this one.
[[noreturn]] inline void RaiseOwnError(CMethodFrame& frame, const SourceLocation& where,
                                       HRESULT code, std::wstring_view text = {}) {
  SetErrorInfo(nullptr);
  frame.error.Reset();
  RaiseErrorText(frame, where, code, text);
}

}  // namespace ovc
