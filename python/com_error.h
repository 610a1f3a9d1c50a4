#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "automation/hresult.h"

namespace ovc::python {

namespace py = pybind11;

// Defines ovcbridge.ComError (with .hresult, .description, .source).
void BindComError(py::module_& module);

// Raises ComError for a failed call, with the description and source of the
// thread's error object (taken), or the system's text for the code.
[[noreturn]] void ThrowComError(HRESULT hr);

// For a ComError being handled: makes the error it describes the thread's
// error object, sets *hr to its code and returns true, so that the error
// crosses an automation call unchanged. False for any other exception.
bool CarryComError(const py::error_already_set& failure, HRESULT* hr);

// "Type: message" of a Python exception, without the traceback, which
// would list the whole stack however deeply callbacks nest; a message that
// cannot be had is left out.
std::wstring ExceptionText(const py::error_already_set& failure);

// Raises ComError when `hr` is a failure.
inline void Check(HRESULT hr) {
  if (Failed(hr)) ThrowComError(hr);
}

}  // namespace ovc::python
