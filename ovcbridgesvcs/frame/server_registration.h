#pragma once

#include <string_view>

#include "automation/hresult.h"
#include "automation/registry_store.h"
#include "ovcbridgesvcs/frame/registry_script.h"

namespace ovc {

// The replacement variables of the registry scripts for the library file at
// `module_path`: MODULE, ThreadingModel ("Apartment"), MajorVersion (380),
// MinorVersion (0), LIBID, TypeLibHelp and CLSID_<class> for each class of
// the type library, identifiers in braced registry form.
RegistryScript::Variables RegistrationVariables(std::wstring_view module_path);

// Registers the type library (TypeLib\{LIBID}\380.0 with its help string
// and the module path) and the eight classes (their registry scripts) in
// `store`, as one change: on failure nothing is changed and the failure
// (with the thread's error object set) is returned.
HRESULT RegisterServer(RegistryStore& store, std::wstring_view module_path);

// Runs the registry scripts in unregister mode and unregisters the type
// library, as one change like RegisterServer.
HRESULT UnregisterServer(RegistryStore& store, std::wstring_view module_path);

}  // namespace ovc
