#include "automation/registry_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "automation/error_info.h"
#include "automation/text.h"

namespace ovc {
namespace {

constexpr wchar_t kSource[] = L"RegistryStore";

// Reads the whole file into *data. Returns 0 or the errno of the failure.
int ReadWholeFile(const std::filesystem::path& path, std::string* data) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  data->clear();
  char buffer[65536];
  int error = 0;
  while (true) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
      data->append(buffer, static_cast<size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      error = count == 0 ? 0 : errno;
      break;
    }
  }
  ::close(fd);
  return error;
}

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t count = ::write(fd, data.data(), data.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    data.remove_prefix(static_cast<size_t>(count));
  }
  return 0;
}

int SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return error;
}

// Replaces the file at `path` by `data` so that a crash leaves either the
// old or the new content: write a temporary file beside it, flush it, rename
// it over the old one and flush the folder. Returns 0 or the errno of the
// failing step. *replaced tells whether the new file took the old one's
// place (only flushing the folder can fail after that); when it did not, the
// old file is untouched and no temporary file remains.
int ReplaceFile(const std::filesystem::path& path, std::string_view data, bool* replaced) {
  *replaced = false;
  std::string temporary = path.string() + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  int error = WriteAll(fd, data);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  *replaced = true;
  return SyncFolder(path.has_parent_path() ? path.parent_path() : std::filesystem::path("."));
}

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
  if (!path_.empty()) error = ReplaceFile(path_, changed.ToText(), &replaced);
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
