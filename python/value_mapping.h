#pragma once

#include <pybind11/pybind11.h>

#include "automation/variant.h"

namespace ovc::python {

namespace py = pybind11;

// ovcbridge.Variant: a value with an exact variant type, for arguments whose
// type matters (VT_I2, VT_ARRAY|VT_BSTR, ...).
class TypedValue {
 public:
  explicit TypedValue(Variant value) : value_(std::move(value)) {}
  const Variant& value() const { return value_; }

 private:
  Variant value_;
};

// ovcbridge.Error(scode): a VT_ERROR value.
struct ErrorValue {
  int32_t scode = 0;
};

// The VT_NULL singleton, ovcbridge.Null.
struct NullValue {};

// Python value to variant: None -> VT_EMPTY, Null -> VT_NULL, bool -> VT_BOOL,
// int -> VT_I4, beyond 32 bits VT_I8 (ValueError beyond 64 bits), float ->
// VT_R8, decimal.Decimal -> VT_CY when exact in four decimals and within its
// range, otherwise VT_R8, str -> VT_BSTR, datetime.datetime and
// datetime.date (at midnight) -> VT_DATE, Error -> VT_ERROR, Dispatch -> VT_DISPATCH,
// Variant -> its value, PropertyValue -> the value it stands for, lists and
// tuples -> arrays of VT_VARIANT as SequencesToArrays describes (a
// rectangular list of lists is one two-dimensional array). Anything else
// raises TypeError.
Variant ToVariant(py::handle value);

// The value of an argument for a parameter declared of type `declared`: as
// ToVariant, but an integer beyond 32 bits for a double parameter goes as a
// double, which must hold it exactly (ValueError otherwise).
Variant ToArgument(py::handle value, VARTYPE declared);

// Variant to Python value, the reverse of ToVariant: VT_I2, VT_I4 and VT_I8 ->
// int, VT_CY -> decimal.Decimal,
// arrays -> tuples (nested, first index outermost), by-reference values ->
// the value they point to, VT_UNKNOWN -> Dispatch when the object has
// IDispatch, otherwise None. Unsupported types raise TypeError.
py::object FromVariant(const Variant& value);

// Registers Variant, Error, Null and the datetime conversion in the module.
void BindValues(py::module_& module);

}  // namespace ovc::python
