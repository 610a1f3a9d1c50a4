#include "python/property_value.h"

#include <pybind11/eval.h>

namespace ovc::python {
namespace {

// The class, kept alive by the module that holds it.
py::handle& PropertyValueType() {
  static py::handle type;
  return type;
}

// Special methods are looked up on the type, not through __getattr__, so
// each one the value may have is forwarded by name; binary operators also
// get their reflected form, for `1 + range.Value`.
constexpr const char* kPropertyValueSource = R"(
import copy
import math
import operator


class PropertyValue:
    """A property whose parameters are all optional, read as an attribute: it
    stands for the value read without arguments, range.Value == 5; calling it
    reads the property again, range.Value(10), and gives the plain value."""

    __slots__ = ("_value", "_read")

    def __init__(self, value, read):
        object.__setattr__(self, "_value", value)
        object.__setattr__(self, "_read", read)

    def __call__(self, *args, **keywords):
        return self._read(*args, **keywords)

    def __getattr__(self, name):
        return getattr(object.__getattribute__(self, "_value"), name)

    def __setattr__(self, name, value):
        setattr(self._value, name, value)

    def __dir__(self):
        return dir(self._value)

    def __reduce__(self):  # copies and pickles hold the plain value
        return copy.copy, (self._value,)


def _forward(function):
    return lambda self, *args: function(self._value, *args)


def _reflect(function):
    return lambda self, other: function(other, self._value)


for _name, _function in [
        ("repr", repr), ("str", str), ("format", format), ("bool", bool), ("hash", hash),
        ("int", int), ("float", float), ("complex", complex), ("index", operator.index),
        ("round", round), ("trunc", math.trunc), ("floor", math.floor), ("ceil", math.ceil),
        ("abs", abs), ("neg", operator.neg), ("pos", operator.pos), ("invert", operator.invert),
        ("len", len), ("iter", iter), ("reversed", reversed), ("contains", operator.contains),
        ("getitem", operator.getitem), ("eq", operator.eq), ("ne", operator.ne),
        ("lt", operator.lt), ("le", operator.le), ("gt", operator.gt), ("ge", operator.ge)]:
    setattr(PropertyValue, f"__{_name}__", _forward(_function))
for _name, _function in [
        ("add", operator.add), ("sub", operator.sub), ("mul", operator.mul),
        ("matmul", operator.matmul), ("truediv", operator.truediv),
        ("floordiv", operator.floordiv), ("mod", operator.mod), ("divmod", divmod),
        ("pow", pow), ("lshift", operator.lshift), ("rshift", operator.rshift),
        ("and", operator.and_), ("xor", operator.xor), ("or", operator.or_)]:
    setattr(PropertyValue, f"__{_name}__", _forward(_function))
    setattr(PropertyValue, f"__r{_name}__", _reflect(_function))
)";

}  // namespace

void BindPropertyValue(py::module_& module) {
  py::dict scope;
  scope["__builtins__"] = py::module_::import("builtins");
  scope["__name__"] = "ovcbridge";
  py::exec(kPropertyValueSource, scope);
  module.attr("PropertyValue") = scope["PropertyValue"];
  PropertyValueType() = module.attr("PropertyValue");
}

py::object MakePropertyValue(py::object value, py::object read) {
  return PropertyValueType()(std::move(value), std::move(read));
}

bool IsPropertyValue(py::handle value) { return py::isinstance(value, PropertyValueType()); }

py::object ValueOf(py::handle property_value) { return property_value.attr("_value"); }

}  // namespace ovc::python
