#pragma once

#include <dlfcn.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

#include "python/com_error.h"

namespace ovc::python {

// Calls `name`, a function the library at `library_path` exports that takes
// one pointer and returns a status (the library's own copy of a service,
// which this module's linked-in copy is not); raises ValueError when it
// cannot be found and ComError when it fails.
template <class Argument>
void CallLibraryExport(const char* library_path, const char* name, const Argument* argument) {
  void* library = dlopen(library_path, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) throw py::value_error(std::string("cannot load ") + dlerror());
  using Function = int32_t (*)(const Argument*);
  const auto function = reinterpret_cast<Function>(dlsym(library, name));
  const HRESULT hr = function != nullptr ? function(argument) : E_NOTIMPL;
  dlclose(library);
  if (function == nullptr) throw py::value_error(std::string(library_path) + " has no " + name);
  Check(hr);
}

}  // namespace ovc::python
