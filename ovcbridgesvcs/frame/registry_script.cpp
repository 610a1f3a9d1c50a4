#include "ovcbridgesvcs/frame/registry_script.h"

namespace ovc {
namespace {

std::wstring SubkeyPath(std::wstring_view parent, std::wstring_view name) {
  std::wstring path(parent);
  return path.append(L"\\").append(name);
}

HRESULT RegisterKey(RegistryTree& tree, std::wstring_view parent, const RegistryScript::Key& key) {
  const std::wstring path = SubkeyPath(parent, key.name);
  using Removal = RegistryScript::Removal;
  if (key.removal == Removal::kDelete || key.removal == Removal::kForceRemove) {
    if (tree.KeyExists(path)) {
      if (const HRESULT hr = tree.DeleteKey(path, true); Failed(hr)) return hr;
    }
    if (key.removal == Removal::kDelete) return S_OK;
  }
  if (const HRESULT hr = tree.CreateKey(path); Failed(hr)) return hr;
  if (key.default_value) {
    if (const HRESULT hr = tree.SetValue(path, L"", *key.default_value); Failed(hr)) return hr;
  }
  for (const RegistryValue& value : key.values) {
    if (const HRESULT hr = tree.SetValue(path, value.name, value.data); Failed(hr)) return hr;
  }
  for (const RegistryScript::Key& subkey : key.subkeys) {
    if (const HRESULT hr = RegisterKey(tree, path, subkey); Failed(hr)) return hr;
  }
  return S_OK;
}

HRESULT UnregisterKey(RegistryTree& tree, std::wstring_view parent,
                      const RegistryScript::Key& key) {
  const std::wstring path = SubkeyPath(parent, key.name);
  using Removal = RegistryScript::Removal;
  if (key.removal == Removal::kDelete || !tree.KeyExists(path)) return S_OK;
  if (key.removal == Removal::kForceRemove) return tree.DeleteKey(path, true);
  for (const RegistryScript::Key& subkey : key.subkeys) {
    if (const HRESULT hr = UnregisterKey(tree, path, subkey); Failed(hr)) return hr;
  }
  for (const RegistryValue& value : key.values) {
    const HRESULT hr = tree.DeleteValue(path, value.name);
    if (Failed(hr) && hr != E_FILENOTFOUND) return hr;
  }
  if (key.removal == Removal::kNoRemove) return S_OK;
  std::vector<std::wstring> remaining;
  if (const HRESULT hr = tree.GetSubkeys(path, &remaining); Failed(hr)) return hr;
  return remaining.empty() ? tree.DeleteKey(path, false) : S_OK;
}

}  // namespace

HRESULT RegistryScript::Register(RegistryTree& tree) const {
  for (const Key& root : roots_) {
    if (const HRESULT hr = tree.CreateKey(root.name); Failed(hr)) return hr;
    for (const Key& key : root.subkeys) {
      if (const HRESULT hr = RegisterKey(tree, root.name, key); Failed(hr)) return hr;
    }
  }
  return S_OK;
}

HRESULT RegistryScript::Unregister(RegistryTree& tree) const {
  for (const Key& root : roots_) {
    for (const Key& key : root.subkeys) {
      if (const HRESULT hr = UnregisterKey(tree, root.name, key); Failed(hr)) return hr;
    }
  }
  return S_OK;
}

}  // namespace ovc
