#pragma once

#include <cstdint>
#include <string>

#include "automation/error_info.h"
#include "automation/hresult.h"

namespace ovc {

// The state of one running automation method, created on entry (which
// traces the method's name at the frame's level): the status it will
// return, the error object describing the last failure, and what the method
// is (its name as "CBridge::TransferToApp") and, optionally, what it is
// doing. RunMethod (run_method.h) runs a method's body in a frame.
struct CMethodFrame {
  explicit CMethodFrame(std::wstring method, std::wstring what = {});

  CMethodFrame(const CMethodFrame&) = delete;
  CMethodFrame& operator=(const CMethodFrame&) = delete;

  HRESULT hr = S_OK;
  ComPtr<IErrorInfo> error;
  int32_t trace_level = 1;
  std::wstring method_name;
  std::wstring activity;
};

// Records the status of a call into another component: stores `code` in the
// frame and drops the frame's error object; for a failure, takes the
// thread's current error object into the frame. Returns `code`.
HRESULT CheckResult(CMethodFrame& frame, HRESULT code);

}  // namespace ovc
