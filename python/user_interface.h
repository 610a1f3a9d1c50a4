#pragma once

#include <pybind11/pybind11.h>

namespace ovc::python {

namespace py = pybind11;

// Defines ovcbridge.SetUserInterface, which hands Python callables to the
// library loaded from `library_path` as its user interface.
void BindUserInterface(py::module_& module, const char* library_path);

}  // namespace ovc::python
