#include "python/com_error.h"

#include <pybind11/eval.h>

#include "automation/error_info.h"
#include "automation/text.h"

namespace ovc::python {
namespace {

py::object& ComErrorType() {
  static py::object type;
  return type;
}

}  // namespace

void BindComError(py::module_& module) {
  py::dict scope;
  scope["__builtins__"] = py::module_::import("builtins");
  py::exec(R"(
class ComError(Exception):
    """A failed call into an automation object."""

    def __init__(self, hresult, description, source):
        super().__init__(f"0x{hresult:08X}: {description}" if description else f"0x{hresult:08X}")
        self.hresult = hresult
        self.description = description
        self.source = source
)",
           scope);
  ComErrorType() = scope["ComError"];
  ComErrorType().attr("__module__") = "ovcbridge";
  module.attr("ComError") = ComErrorType();
}

void ThrowComError(HRESULT hr) {
  std::wstring description;
  std::wstring source;
  if (ComPtr<IErrorInfo> error = GetErrorInfo()) {
    description = DescriptionOf(error.get());
    source = SourceOf(error.get());
  } else if (auto text = SystemMessage(hr)) {
    description = *text;
  }
  py::object error =
      ComErrorType()(static_cast<uint32_t>(hr), py::cast(description), py::cast(source));
  PyErr_SetObject(ComErrorType().ptr(), error.ptr());
  throw py::error_already_set();
}

std::wstring ExceptionText(const py::error_already_set& failure) {
  std::wstring text = ovc::FromUtf8(Py_TYPE(failure.value().ptr())->tp_name);
  try {
    const std::string message = py::str(failure.value());
    if (!message.empty()) text += L": " + ovc::FromUtf8(message);
  } catch (const std::exception&) {
    // the exception's __str__ failed
  }
  return text;
}

bool CarryComError(const py::error_already_set& failure, HRESULT* hr) {
  if (!failure.matches(ComErrorType())) return false;
  try {
    const py::object& error = failure.value();
    const auto code = static_cast<HRESULT>(error.attr("hresult").cast<uint32_t>());
    *hr = Failed(code) ? code : E_FAIL;
    SetErrorResult(*hr, error.attr("description").cast<std::wstring>(),
                   error.attr("source").cast<std::wstring>());
    return true;
  } catch (const std::exception&) {
    return false;  // a ComError made by hand with attributes of other types
  }
}

}  // namespace ovc::python
