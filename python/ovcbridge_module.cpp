// The Python module ovcbridge: drives every automation object of the project
// by name (see README.md).
#include <dlfcn.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <span>
#include <string>

#include "automation/class_registry.h"
#include "automation/conversion.h"
#include "automation/dom/dom.h"
#include "automation/error_info.h"
#include "automation/library_search.h"
#include "automation/registry_store.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "office/common/macro_registry.h"
#include "office/excel/excel_error.h"
#include "office/excel/registration.h"
#include "office/word/registration.h"
#include "orvan/components/registration.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "python/com_error.h"
#include "python/dispatch_proxy.h"
#include "python/progress.h"
#include "python/property_value.h"
#include "python/user_interface.h"
#include "python/value_mapping.h"

namespace ovc::python {
namespace {

void BindConstants(py::module_& module) {
#define OVC_BIND_VT(name) module.attr(#name) = static_cast<int>(name)
  OVC_BIND_VT(VT_EMPTY);
  OVC_BIND_VT(VT_NULL);
  OVC_BIND_VT(VT_I2);
  OVC_BIND_VT(VT_I4);
  OVC_BIND_VT(VT_R8);
  OVC_BIND_VT(VT_CY);
  OVC_BIND_VT(VT_DATE);
  OVC_BIND_VT(VT_BSTR);
  OVC_BIND_VT(VT_DISPATCH);
  OVC_BIND_VT(VT_ERROR);
  OVC_BIND_VT(VT_BOOL);
  OVC_BIND_VT(VT_VARIANT);
  OVC_BIND_VT(VT_UNKNOWN);
  OVC_BIND_VT(VT_I8);
  OVC_BIND_VT(VT_ARRAY);
  OVC_BIND_VT(VT_BYREF);
#undef OVC_BIND_VT
  module.attr("VARIANT_ALPHABOOL") = static_cast<int>(VARIANT_ALPHABOOL);
  module.attr("VARIANT_NOVALUEPROP") = static_cast<int>(VARIANT_NOVALUEPROP);

#define OVC_BIND_HRESULT(name, code, text) \
  module.attr(#name) = static_cast<uint32_t>(static_cast<HRESULT>(code));
  OVC_HRESULT_TABLE(OVC_BIND_HRESULT)
#undef OVC_BIND_HRESULT

  for (const EnumInfo* enumeration : OVCBridgeSvcsTypeLibrary().enums) {
    if (enumeration == nullptr) continue;
    for (const EnumeratorInfo& enumerator : enumeration->enumerators) {
      module.attr(py::cast(std::wstring(enumerator.name))) = enumerator.value;
    }
  }
}

py::object CreateObjectByName(const std::wstring& name) {
  ComPtr<IDispatch> object;
  Check(CreateObject(name, &object));
  return py::cast(DispatchProxy(std::move(object)));
}

// Loads a server library and runs its DllRegisterServer, as an installer
// does, so that its classes can be created by ProgID.
void RegisterServer(const std::string& path) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) throw py::value_error("cannot load " + path + ": " + dlerror());
  using RegisterFunction = HRESULT (*)();
  auto register_server = reinterpret_cast<RegisterFunction>(dlsym(module, "DllRegisterServer"));
  if (register_server == nullptr) {
    throw py::value_error(path + " exports no DllRegisterServer");
  }
  Check(register_server());
}

// The full path of the library `name` along this module's own search path,
// which the build and the installation set relative to the module. Gives
// `name` when not found.
std::string FindLibrary(const char* name) {
  Dl_info self{};
  if (dladdr(reinterpret_cast<void*>(&FindLibrary), &self) == 0 || self.dli_fname == nullptr) {
    return name;
  }
  void* module = dlopen(self.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (module == nullptr) return name;
  std::string found = FindAlongSearchPath(module, name);
  dlclose(module);
  return found;
}

HRESULT MacroFailed(const std::wstring& name, const std::wstring& reason) {
  return SetErrorResult(DISP_E_EXCEPTION, L"macro '" + name + L"' failed: " + reason,
                        std::wstring(excel::kErrorSource));
}

// Runs the Python macro `name` (kept in ovcbridge._macros, so that no Python
// object outlives the interpreter in C++ hands) for Application.Run. A
// ComError the macro raises fails Run with that very error.
HRESULT RunPythonMacro(const std::wstring& name, IDispatch* application,
                       std::span<const Variant> arguments, Variant* result) {
  py::gil_scoped_acquire gil;
  try {
    py::object macro = py::module_::import("ovcbridge").attr("_macros")[py::cast(name)];
    py::list values;
    values.append(py::cast(DispatchProxy(ComPtr<IDispatch>(application))));
    for (const Variant& argument : arguments) values.append(FromVariant(argument));
    py::object value = macro(*values);
    if (result != nullptr) *result = ToVariant(value);
    return S_OK;
  } catch (const py::error_already_set& failure) {
    HRESULT carried = S_OK;
    return CarryComError(failure, &carried) ? carried : MacroFailed(name, ExceptionText(failure));
  } catch (const std::exception& failure) {
    return MacroFailed(name, ovc::FromUtf8(failure.what()));
  }
}

// Makes `callable` the macro `name` of every spreadsheet application of the
// process: Application.Run(name, ...) calls it with the application and the
// arguments and returns what it returns.
void RegisterMacro(const std::wstring& name, const py::function& callable) {
  py::module_::import("ovcbridge").attr("_macros")[py::cast(name)] = callable;
  office::RegisterMacro(
      name, [name](IDispatch* application, std::span<const Variant> arguments, Variant* result) {
        return RunPythonMacro(name, application, arguments, result);
      });
}

void UseRegistry(const std::string& path) {
  const RegistryLoadResult result = RegistryStore::Current().Open(path);
  if (!result) {
    throw py::value_error(path + ":" + std::to_string(result.line) + ": " +
                          ovc::ToUtf8(result.description));
  }
}

}  // namespace
}  // namespace ovc::python

PYBIND11_MODULE(ovcbridge, module) {
  using namespace ovc::python;
  module.doc() = "Automation objects of OVCBridgeSvcs and its host, driven by name.";
  BindComError(module);
  BindValues(module);
  BindDispatch(module);
  BindPropertyValue(module);
  BindConstants(module);
  module.def("CreateObject", &CreateObjectByName, py::arg("progid_or_clsid"),
             "Creates an object by ProgID or braced CLSID and returns its Dispatch proxy.");
  module.def("RegisterServer", &RegisterServer, py::arg("path"),
             "Loads a server library and registers its classes (DllRegisterServer).");
  module.def("RegisterMacro", &RegisterMacro, py::arg("name"), py::arg("callable"),
             "Registers a callable as a macro that the Run of Excel.Application and "
             "Word.Application calls by exact name "
             "with the application and Run's arguments.");
  module.attr("_macros") = py::dict();
  module.def("UseRegistry", &UseRegistry, py::arg("path"),
             "Makes the registry store file at `path` the current one (created when missing).");
  Check(ovc::orvan::RegisterOrvanClasses());
  ovc::RegisterDomClasses();
  Check(ovc::excel::RegisterExcelClasses());
  Check(ovc::word::RegisterWordClasses());
#ifdef OVC_LIBRARY_NAME
  static const std::string library = FindLibrary(OVC_LIBRARY_NAME);
  RegisterServer(library);
  BindUserInterface(module, library.c_str());
  BindProgress(module, library.c_str());
#endif
}
