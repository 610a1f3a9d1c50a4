#pragma once

#include <utility>

#include "automation/error_info.h"
#include "automation/hresult.h"

namespace ovc {

// A failed call into another component, thrown by code that calls
// components through throwing wrappers rather than checking each status:
// the status code and the error object the component left (may be null; the
// exception holds a reference to it). Automation methods turn it into their
// own failure like an OVComException (see RunMethod).
class ComError {
 public:
  explicit ComError(HRESULT code, ComPtr<IErrorInfo> error = {})
      : code_(code), error_(std::move(error)) {}

  HRESULT code() const { return code_; }
  const ComPtr<IErrorInfo>& error() const { return error_; }

 private:
  HRESULT code_;
  ComPtr<IErrorInfo> error_;
};

}  // namespace ovc
