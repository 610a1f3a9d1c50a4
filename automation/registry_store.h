#pragma once

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "automation/registry_tree.h"

namespace ovc {

// The registry of the process: a RegistryTree, kept in memory or bound to a
// file. Once bound, every change is written to the file before it takes
// effect: the new text goes to a temporary file in the same folder, is
// flushed to disk and renamed over the old file, so that a crash leaves
// either the old or the new file whole. A change whose write fails is not
// made, and its failure (the status of the failing file operation, with an
// error object naming the file and the reason) is returned. Safe to use from
// several threads.
class RegistryStore {
 public:
  // An empty store kept in memory.
  RegistryStore() = default;
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  // The store the class registry reads: in memory until someone opens a file.
  static RegistryStore& Current();

  // Replaces the content with that of the registry text file at `path` and
  // binds the store to it. A missing file counts as empty and is created by
  // the first change. A file that cannot be read or is malformed leaves the
  // store unchanged and says why (and, when malformed, at which line).
  RegistryLoadResult Open(const std::filesystem::path& path);
  // Unbinds the store from its file (the file is left as it is) and empties it.
  void Close();
  // The bound file, or an empty path when kept in memory.
  std::filesystem::path path() const;

  // Applies `change` to a copy of the tree; when it succeeds and the result
  // is written, the copy becomes the content. Returns the change's failure,
  // the write's failure, or S_OK. `change` must not use this store.
  HRESULT Update(const std::function<HRESULT(RegistryTree&)>& change);
  // A copy of the content.
  RegistryTree Snapshot() const;

  // The single operations of RegistryTree, each as one Update or read.
  HRESULT CreateKey(std::wstring_view key);
  HRESULT SetValue(std::wstring_view key, std::wstring_view name, std::wstring data);
  HRESULT DeleteValue(std::wstring_view key, std::wstring_view name);
  HRESULT DeleteKey(std::wstring_view key, bool recursive);
  HRESULT GetValue(std::wstring_view key, std::wstring_view name, std::wstring* data) const;
  bool KeyExists(std::wstring_view key) const;
  HRESULT GetSubkeys(std::wstring_view key, std::vector<std::wstring>* names) const;
  HRESULT GetValues(std::wstring_view key, std::vector<RegistryValue>* values) const;

 private:
  mutable std::mutex mutex_;
  RegistryTree tree_;
  std::filesystem::path path_;
};

}  // namespace ovc
