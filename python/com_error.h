#pragma once

#include <pybind11/pybind11.h>

#include "automation/hresult.h"

namespace ovc::python {

namespace py = pybind11;

// Defines ovcbridge.ComError (with .hresult, .description, .source).
void BindComError(py::module_& module);

// Raises ComError for a failed call, with the description and source of the
// thread's error object (taken), or the system's text for the code.
[[noreturn]] void ThrowComError(HRESULT hr);

// Raises ComError when `hr` is a failure.
inline void Check(HRESULT hr) {
  if (Failed(hr)) ThrowComError(hr);
}

}  // namespace ovc::python
