#pragma once

#include <string>
#include <string_view>

#include "automation/hresult.h"

namespace ovc {

// What a C++ exception becomes where it must not pass: at every interface
// (dispatch, class factories, exported entry points, method frames) it ends
// as a status and an error object instead.

// The status and description of an exception.
struct ExceptionStatus {
  HRESULT code;
  std::wstring description;
};

// The status of the exception being handled; call it only while a catch
// block runs. std::bad_alloc gives E_OUTOFMEMORY with the system's text for
// it; anything else E_UNEXPECTED with a description naming the exception's
// type and, for a std::exception, its what() text:
//   "Unhandled C++ exception (std::runtime_error): disk on fire"
//   "Unhandled C++ exception (int)"
// When even the description cannot be made it is left empty.
ExceptionStatus StatusOfCurrentException() noexcept;

// Makes the exception being handled the thread's current error object
// (StatusOfCurrentException's description, `source` as source) and returns
// its status. When the error object cannot be made, the thread is left
// without one and E_OUTOFMEMORY is returned.
HRESULT ReportCurrentException(std::wstring_view source) noexcept;

// Runs `work`, which returns an HRESULT, at an interface: any exception it
// throws ends as ReportCurrentException(source).
template <class Work>
HRESULT GuardedCall(std::wstring_view source, Work&& work) noexcept {
  try {
    return work();
  } catch (...) {
    return ReportCurrentException(source);
  }
}

}  // namespace ovc
