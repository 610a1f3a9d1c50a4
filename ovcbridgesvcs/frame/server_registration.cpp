#include "ovcbridgesvcs/frame/server_registration.h"

#include <string>
#include <vector>

#include "automation/error_info.h"
#include "automation/guid.h"
#include "ovcbridgesvcs/frame/class_table.h"

namespace ovc {
namespace {

struct ScriptResource {
  uint32_t number;
  std::wstring_view text;
};

constexpr ScriptResource kScripts[] = {
#include "ovcbridgesvcs/resources/registry_scripts.inc"
};

// Every registry script, in resource-number order: the type library's
// first, then one per class.
HRESULT LoadScripts(std::wstring_view module_path, std::vector<RegistryScript>* scripts) {
  const RegistryScript::Variables variables = RegistrationVariables(module_path);
  for (const ScriptResource& resource : kScripts) {
    RegistryScript script;
    if (const HRESULT hr = RegistryScript::Parse(resource.text, variables, &script); Failed(hr)) {
      return hr;
    }
    scripts->push_back(std::move(script));
  }
  return S_OK;
}

}  // namespace

RegistryScript::Variables RegistrationVariables(std::wstring_view module_path) {
  const TypeLibraryInfo& library = LibraryTypeInfo();
  RegistryScript::Variables variables{
      {L"MODULE", std::wstring(module_path)},
      {L"ThreadingModel", L"Apartment"},
      {L"MajorVersion", std::to_wstring(library.major_version)},
      {L"MinorVersion", std::to_wstring(library.minor_version)},
      {L"LIBID", GuidToString(library.libid)},
      {L"TypeLibHelp", std::wstring(library.help)},
  };
  for (const CoclassInfo* coclass : library.coclasses) {
    variables.emplace(L"CLSID_" + std::wstring(coclass->name), GuidToString(coclass->clsid));
  }
  return variables;
}

HRESULT RegisterServer(RegistryStore& store, std::wstring_view module_path) {
  std::vector<RegistryScript> scripts;
  if (const HRESULT hr = LoadScripts(module_path, &scripts); Failed(hr)) return hr;
  return store.Update([&](RegistryTree& tree) {
    for (const RegistryScript& script : scripts) {
      if (const HRESULT hr = script.Register(tree); Failed(hr)) return hr;
    }
    return S_OK;
  });
}

HRESULT UnregisterServer(RegistryStore& store, std::wstring_view module_path) {
  std::vector<RegistryScript> scripts;
  if (const HRESULT hr = LoadScripts(module_path, &scripts); Failed(hr)) return hr;
  return store.Update([&](RegistryTree& tree) {
    // The classes first, then the type library they refer to.
    for (auto script = scripts.rbegin(); script != scripts.rend(); ++script) {
      if (const HRESULT hr = script->Unregister(tree); Failed(hr)) return hr;
    }
    return S_OK;
  });
}

}  // namespace ovc
