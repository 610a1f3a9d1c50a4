#include "automation/library_search.h"

#include <dlfcn.h>

#include <cstddef>
#include <filesystem>
#include <span>
#include <system_error>
#include <vector>

namespace ovc {
namespace {

std::vector<std::filesystem::path> SearchPath(void* module) {
  Dl_serinfo size{};
  if (dlinfo(module, RTLD_DI_SERINFOSIZE, &size) != 0) return {};
  std::vector<std::max_align_t> storage(size.dls_size / sizeof(std::max_align_t) + 1);
  auto* info = reinterpret_cast<Dl_serinfo*>(storage.data());
  if (dlinfo(module, RTLD_DI_SERINFOSIZE, info) != 0 ||
      dlinfo(module, RTLD_DI_SERINFO, info) != 0) {
    return {};
  }
  std::vector<std::filesystem::path> folders;
  for (const Dl_serpath& entry : std::span(info->dls_serpath, info->dls_cnt)) {
    folders.emplace_back(entry.dls_name);
  }
  return folders;
}

}  // namespace

std::string FindAlongSearchPath(void* module, const char* name) {
  if (module == nullptr) return name;
  for (const std::filesystem::path& folder : SearchPath(module)) {
    std::error_code error;
    if (std::filesystem::is_regular_file(folder / name, error)) return (folder / name).string();
  }
  return name;
}

}  // namespace ovc
