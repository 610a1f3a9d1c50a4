#include "ovcbridgesvcs/frame/server_registration.h"

#include <optional>
#include <string>
#include <vector>

#include "automation/error_info.h"
#include "automation/guid.h"
#include "ovcbridgesvcs/frame/class_table.h"
#include "ovcbridgesvcs/frame/library_classes.h"

namespace ovc {
namespace {

struct ScriptResource {
  uint32_t number;
  std::wstring_view text;
};

constexpr ScriptResource kScripts[] = {
#include "ovcbridgesvcs/resources/registry_scripts.inc"
};

// The resource number of the type library's registration script.
constexpr uint32_t kTypeLibraryScript = 100;

std::optional<std::wstring_view> FindScript(uint32_t number) {
  for (const ScriptResource& script : kScripts) {
    if (script.number == number) return script.text;
  }
  return std::nullopt;
}

// The type library's script first, then one per class.
HRESULT LoadScripts(std::wstring_view module_path, std::vector<RegistryScript>* scripts) {
  std::vector<uint32_t> numbers{kTypeLibraryScript};
  for (const LibraryClass& entry : LibraryClasses()) numbers.push_back(entry.registry_script);
  const RegistryScript::Variables variables = RegistrationVariables(module_path);
  for (const uint32_t number : numbers) {
    const std::optional<std::wstring_view> text = FindScript(number);
    if (!text) {
      return SetErrorResult(E_UNEXPECTED,
                            L"Registry script " + std::to_wstring(number) + L" is missing",
                            L"RegisterServer");
    }
    RegistryScript script;
    if (const HRESULT hr = RegistryScript::Parse(*text, variables, &script); Failed(hr)) return hr;
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
