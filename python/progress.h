#pragma once

#include <pybind11/pybind11.h>

namespace ovc::python {

namespace py = pybind11;

// Defines ovcbridge.SetProgress, which makes a Python callable the progress
// service of the library loaded from `library_path`.
void BindProgress(py::module_& module, const char* library_path);

}  // namespace ovc::python
