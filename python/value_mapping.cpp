#include "python/value_mapping.h"

#include <limits>

#include <fmt/format.h>

#include "automation/com_ptr.h"
#include "automation/conversion.h"
#include "automation/date.h"
#include "automation/dispatch.h"
#include "automation/number_text.h"
#include "automation/text.h"
#include "python/array_mapping.h"
#include "python/com_error.h"
#include "python/dispatch_proxy.h"
#include "python/property_value.h"

namespace ovc::python {
namespace {

py::object DateTimeType() { return py::module_::import("datetime").attr("datetime"); }

// datetime.date, whose subclass datetime.datetime is.
py::object DateType() { return py::module_::import("datetime").attr("date"); }

py::object DecimalType() { return py::module_::import("decimal").attr("Decimal"); }

// A datetime.datetime, or a datetime.date at midnight.
Variant DateToVariant(py::handle value) {
  DateFields fields;
  fields.year = value.attr("year").cast<int>();
  fields.month = value.attr("month").cast<int>();
  fields.day = value.attr("day").cast<int>();
  if (py::isinstance(value, DateTimeType())) {
    fields.hour = value.attr("hour").cast<int>();
    fields.minute = value.attr("minute").cast<int>();
    fields.second = value.attr("second").cast<int>();
    fields.millisecond = value.attr("microsecond").cast<int>() / 1000;
  }
  DATE date = 0;
  if (!DateFromFields(fields, &date)) throw py::value_error("date out of the automation range");
  return Variant::Date(date);
}

py::object DateFromVariant(DATE date) {
  DateFields fields;
  if (!FieldsFromDate(date, &fields)) throw py::value_error("automation date out of range");
  return DateTimeType()(fields.year, fields.month, fields.day, fields.hour, fields.minute,
                        fields.second, fields.millisecond * 1000);
}

// Integers of 32 bits go as VT_I4, wider ones of 64 bits as VT_I8.
Variant IntegerToVariant(py::handle value) {
  int overflow = 0;
  const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (number == -1 && PyErr_Occurred()) throw py::error_already_set();
  if (overflow != 0) throw py::value_error("integer does not fit 64 bits");
  if (number >= std::numeric_limits<int32_t>::min() &&
      number <= std::numeric_limits<int32_t>::max()) {
    return Variant::I4(static_cast<int32_t>(number));
  }
  return Variant::I8(number);
}

// Currency has four decimals.
py::object CurrencyToDecimal(CY amount) {
  return DecimalType()(ToUtf8(FixedPointText(amount.int64, 4)));
}

// A finite decimal goes as currency when that holds it exactly, otherwise as
// the nearest double.
Variant DecimalToVariant(py::handle value) {
  if (!py::cast<bool>(value.attr("is_finite")())) {
    throw py::value_error("a decimal that is not finite has no automation value");
  }
  Variant currency;
  if (Succeeded(VariantChangeType(&currency, Variant::Str(py::str(value).cast<std::wstring>()), 0,
                                  VT_CY)) &&
      CurrencyToDecimal(currency.cy()).equal(value)) {
    return currency;
  }
  const double number = PyFloat_AsDouble(value.ptr());
  if (number == -1.0 && PyErr_Occurred()) throw py::error_already_set();
  return Variant::R8(number);
}

Variant PlainScalarToVariant(py::handle value) {
  if (value.is_none()) return Variant();
  if (py::isinstance<NullValue>(value)) return Variant::Null();
  if (py::isinstance<py::bool_>(value)) return Variant::Bool(value.cast<bool>());
  if (py::isinstance<py::int_>(value)) return IntegerToVariant(value);
  if (py::isinstance<py::float_>(value)) return Variant::R8(value.cast<double>());
  if (py::isinstance<py::str>(value)) return Variant::Str(value.cast<std::wstring>());
  if (py::isinstance(value, DateType())) return DateToVariant(value);
  if (py::isinstance(value, DecimalType())) return DecimalToVariant(value);
  if (py::isinstance<ErrorValue>(value)) return Variant::Error(value.cast<ErrorValue>().scode);
  if (py::isinstance<DispatchProxy>(value)) {
    return Variant(value.cast<const DispatchProxy&>().get());
  }
  if (py::isinstance<TypedValue>(value)) return value.cast<const TypedValue&>().value();
  throw py::type_error("no automation value for a Python " +
                       std::string(py::str(value.get_type().attr("__name__"))));
}

// A PropertyValue passes the value it stands for, which holds none.
Variant ScalarToVariant(py::handle value) {
  if (IsPropertyValue(value)) return SequencesToArrays(ValueOf(value), &PlainScalarToVariant);
  return PlainScalarToVariant(value);
}

py::object ScalarFromVariant(const Variant& value) {
  switch (value.vt()) {
    case VT_EMPTY:
      return py::none();
    case VT_NULL:
      return py::cast(NullValue{});
    case VT_I2:
      return py::int_(value.i2());
    case VT_I4:
      return py::int_(value.i4());
    case VT_I8:
      return py::int_(value.i8());
    case VT_CY:
      return CurrencyToDecimal(value.cy());
    case VT_R8:
      return py::float_(value.r8());
    case VT_DATE:
      return DateFromVariant(value.date());
    case VT_BSTR:
      return py::cast(value.bstr());
    case VT_BOOL:
      return py::bool_(value.boolVal() != VARIANT_FALSE);
    case VT_ERROR:
      return py::cast(ErrorValue{value.scode()});
    case VT_DISPATCH:
      if (value.dispatch() == nullptr) return py::none();
      return py::cast(DispatchProxy(ComPtr<IDispatch>(value.dispatch())));
    case VT_UNKNOWN: {
      ComPtr<IDispatch> dispatch;
      if (value.unknown() == nullptr ||
          Failed(value.unknown()->QueryInterface(IDispatch::kIid, dispatch.ReceiveVoid()))) {
        return py::none();
      }
      return py::cast(DispatchProxy(std::move(dispatch)));
    }
    default:
      throw py::type_error("unsupported variant type " + ToUtf8(VarTypeName(value.vt())));
  }
}

}  // namespace

Variant ToVariant(py::handle value) { return SequencesToArrays(value, &ScalarToVariant); }

Variant ToArgument(py::handle value, VARTYPE declared) {
  Variant argument = ToVariant(value);
  if (declared != VT_R8 || argument.vt() != VT_I8) return argument;
  const double number = static_cast<double>(argument.i8());
  // 2^63 itself is out of range for the way back.
  if (number >= 0x1p63 || static_cast<int64_t>(number) != argument.i8()) {
    throw py::value_error("integer that a double parameter cannot hold exactly");
  }
  return Variant::R8(number);
}

py::object FromVariant(const Variant& value) { return ArraysToTuples(value, &ScalarFromVariant); }

void BindValues(py::module_& module) {
  py::class_<NullValue>(module, "NullType", "The type of ovcbridge.Null (VT_NULL).")
      .def("__repr__", [](const NullValue&) { return "ovcbridge.Null"; })
      .def("__eq__",
           [](const NullValue&, py::handle other) { return py::isinstance<NullValue>(other); })
      .def("__hash__", [](const NullValue&) { return 0x4e756c6c; });
  module.attr("Null") = NullValue{};

  py::class_<ErrorValue>(module, "Error", "A VT_ERROR value carrying a status code.")
      .def(py::init([](int64_t scode) { return ErrorValue{static_cast<int32_t>(scode)}; }),
           py::arg("scode"))
      .def_property_readonly("scode",
                             [](const ErrorValue& e) { return static_cast<uint32_t>(e.scode); })
      .def("__eq__",
           [](const ErrorValue& a, py::handle b) {
             return py::isinstance<ErrorValue>(b) && b.cast<ErrorValue>().scode == a.scode;
           })
      .def("__hash__", [](const ErrorValue& e) { return e.scode; })
      .def("__repr__", [](const ErrorValue& e) {
        return fmt::format("ovcbridge.Error(0x{:08X})", static_cast<uint32_t>(e.scode));
      });

  py::class_<TypedValue>(module, "Variant", "A value with an exact variant type.")
      .def(py::init([](int vt, py::handle value) {
             Variant converted;
             const auto type = static_cast<VARTYPE>(vt);
             Check(VariantChangeType(&converted, ToArgument(value, type), 0, type));
             return TypedValue(std::move(converted));
           }),
           py::arg("vt"), py::arg("value"))
      .def_property_readonly("vt", [](const TypedValue& v) { return v.value().vt(); })
      .def_property_readonly("value", [](const TypedValue& v) { return FromVariant(v.value()); })
      .def("__repr__", [](const TypedValue& v) {
        return "ovcbridge.Variant(" + ToUtf8(VarTypeName(v.value().vt())) + ", " +
               std::string(py::repr(FromVariant(v.value()))) + ")";
      });

  module.def(
      "ChangeType",
      [](py::handle value, int vt, int flags) {
        Variant converted;
        const auto type = static_cast<VARTYPE>(vt);
        Check(VariantChangeType(&converted, ToArgument(value, type), static_cast<uint16_t>(flags),
                                type));
        return FromVariant(converted);
      },
      py::arg("value"), py::arg("vt"), py::arg("flags") = 0,
      "Converts a value with the automation conversion rules and returns the result.");
}

}  // namespace ovc::python
