#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/error_info.h"
#include "automation/hresult.h"

namespace ovc {

// The state of one running automation method, created on entry (which
// traces the method's name at the frame's level): the status it will
// return, the error object describing the last failure, and what the method
// is (its name as "CBridge::TransferToApp") and, when its body sets one,
// what it is doing. RunMethod (run_method.h) runs a method's body in a
// frame. Making a frame throws nothing, so that a method can make it before
// anything else.
struct CMethodFrame {
  // `method` must outlive the frame; it is a literal in every method.
  explicit CMethodFrame(std::wstring_view method) noexcept;

  CMethodFrame(const CMethodFrame&) = delete;
  CMethodFrame& operator=(const CMethodFrame&) = delete;

  HRESULT hr = S_OK;
  ComPtr<IErrorInfo> error;
  int32_t trace_level = 1;
  std::wstring_view method_name;
  std::wstring activity;
};

// Records the status of a call into another component: stores `code` in the
// frame and drops the frame's error object; for a failure, takes the
// thread's current error object into the frame. Returns `code`.
HRESULT CheckResult(CMethodFrame& frame, HRESULT code);

}  // namespace ovc
