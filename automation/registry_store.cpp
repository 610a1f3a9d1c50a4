#include "automation/registry_store.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "automation/error_info.h"
#include "automation/file_io.h"
#include "automation/text.h"

namespace ovc {
namespace {

constexpr wchar_t kSource[] = L"RegistryStore";

std::wstring Describe(const wchar_t* action, const std::filesystem::path& path, int error) {
  return std::wstring(action) + L" '" + FromUtf8(path.string()) + L"': " +
         FromUtf8(std::strerror(error));
}

}  // namespace

RegistryStore& RegistryStore::Current() {
  static RegistryStore store;
  return store;
}

RegistryLoadResult RegistryStore::Open(const std::filesystem::path& path) {
  std::string text;
  const int error = ReadWholeFile(path, &text);
  if (error != 0 && error != ENOENT) {
    return {HresultFromErrno(error), 0, Describe(L"Cannot read the registry file", path, error)};
  }
  RegistryTree tree;
  RegistryLoadResult result = RegistryTree::Parse(text, &tree);
  if (!result) return result;
  std::lock_guard lock(mutex_);
  tree_ = std::move(tree);
  path_ = path;
  return result;
}

void RegistryStore::Close() {
  std::lock_guard lock(mutex_);
  tree_ = RegistryTree();
  path_.clear();
}

std::filesystem::path RegistryStore::path() const {
  std::lock_guard lock(mutex_);
  return path_;
}

HRESULT RegistryStore::Update(const std::function<HRESULT(RegistryTree&)>& change) {
  std::lock_guard lock(mutex_);
  RegistryTree changed = tree_;
  const HRESULT status = change(changed);
  if (Failed(status)) return status;
  int error = 0;
  bool replaced = true;
  if (!path_.empty()) error = ReplaceFileAtomically(path_, changed.ToText(), &replaced);
  if (replaced) tree_ = std::move(changed);
  if (error == 0) return status;
  return SetErrorResult(HresultFromErrno(error),
                        Describe(L"Cannot write the registry file", path_, error), kSource);
}

RegistryTree RegistryStore::Snapshot() const {
  std::lock_guard lock(mutex_);
  return tree_;
}

HRESULT RegistryStore::CreateKey(std::wstring_view key) {
  return Update([&](RegistryTree& tree) { return tree.CreateKey(key); });
}

HRESULT RegistryStore::SetValue(std::wstring_view key, std::wstring_view name, std::wstring data) {
  return Update([&](RegistryTree& tree) { return tree.SetValue(key, name, std::move(data)); });
}

HRESULT RegistryStore::DeleteValue(std::wstring_view key, std::wstring_view name) {
  return Update([&](RegistryTree& tree) { return tree.DeleteValue(key, name); });
}

HRESULT RegistryStore::DeleteKey(std::wstring_view key, bool recursive) {
  return Update([&](RegistryTree& tree) { return tree.DeleteKey(key, recursive); });
}

HRESULT RegistryStore::GetValue(std::wstring_view key, std::wstring_view name,
                                std::wstring* data) const {
  std::lock_guard lock(mutex_);
  return tree_.GetValue(key, name, data);
}

bool RegistryStore::KeyExists(std::wstring_view key) const {
  std::lock_guard lock(mutex_);
  return tree_.KeyExists(key);
}

HRESULT RegistryStore::GetSubkeys(std::wstring_view key, std::vector<std::wstring>* names) const {
  std::lock_guard lock(mutex_);
  return tree_.GetSubkeys(key, names);
}

HRESULT RegistryStore::GetValues(std::wstring_view key, std::vector<RegistryValue>* values) const {
  std::lock_guard lock(mutex_);
  return tree_.GetValues(key, values);
}

}  // namespace ovc
