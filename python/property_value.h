#pragma once

#include <pybind11/pybind11.h>

namespace ovc::python {

namespace py = pybind11;

// ovcbridge.PropertyValue: what reading a property whose parameters are all
// optional gives. It stands for the value read without arguments when the
// attribute was read: it compares, hashes, converts, computes, indexes,
// iterates and prints as that value, and its attributes are the value's.
// Calling it reads the property again with the arguments given and returns
// the plain value.
void BindPropertyValue(py::module_& module);

// A PropertyValue standing for `value`, calling `read` when called.
py::object MakePropertyValue(py::object value, py::object read);

bool IsPropertyValue(py::handle value);
// The value a PropertyValue stands for.
py::object ValueOf(py::handle property_value);

}  // namespace ovc::python
