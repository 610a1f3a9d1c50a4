#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "automation/error_info.h"
#include "automation/hresult.h"

namespace ovc {

// The exception that carries a failure out of the body of an automation
// method to its frame (see RunMethod): the status code, the error object
// describing it (may be null; the exception holds a reference to it), and
// where it was raised. Thrown by value, caught by reference.
class OVComException {
 public:
  OVComException(HRESULT code, ComPtr<IErrorInfo> error, std::wstring file, int32_t line)
      : code_(code), error_(std::move(error)), file_(std::move(file)), line_(line) {}

  HRESULT code() const { return code_; }
  const ComPtr<IErrorInfo>& error() const { return error_; }
  const std::wstring& file() const { return file_; }
  int32_t line() const { return line_; }

 private:
  HRESULT code_;
  ComPtr<IErrorInfo> error_;
  std::wstring file_;
  int32_t line_;
};

}  // namespace ovc
