#include "ovcbridgesvcs/frame/working_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <iterator>
#include <string>
#include <system_error>
#include <utility>

#include "ovcbridgesvcs/frame/installed_service.h"

namespace ovc {

namespace {

// Makes `folder` for the user alone when it is missing; true when it is a
// folder afterwards.
bool MakeFolder(const std::filesystem::path& folder) {
  if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST) return false;
  std::error_code error;
  return std::filesystem::is_directory(folder, error);
}

// Whether `folder` is a real folder of the user: not a symbolic link that
// another user could have placed where the folder is expected.
bool OwnFolder(const std::filesystem::path& folder) {
  struct stat status {};
  return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         status.st_uid == ::geteuid();
}

// "Orvan Files", or "Orvan Files-<user number>" in a temporary folder that
// other users may write to (such as /tmp): there one user's folder never
// stands in another user's way.
std::string DefaultFolderName(const std::filesystem::path& temporary) {
  std::string name = "Orvan Files";
  struct stat status {};
  if (::stat(temporary.c_str(), &status) != 0 || (status.st_mode & (S_IWGRP | S_IWOTH)) == 0) {
    return name;
  }
  char digits[16];
  char* end = std::to_chars(std::begin(digits), std::end(digits), ::geteuid()).ptr;
  return name.append("-").append(std::begin(digits), end);
}

std::optional<std::filesystem::path> DefaultFolder() {
  std::error_code error;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error) return std::nullopt;
  std::filesystem::path folder = temporary / DefaultFolderName(temporary);
  if (!MakeFolder(folder) || !OwnFolder(folder)) return std::nullopt;
  return folder;
}

}  // namespace

void SetWorkingFolderService(std::shared_ptr<WorkingFolderService> service) {
  InstalledSlot<WorkingFolderService>().Install(std::move(service));
}

std::optional<std::filesystem::path> WorkingFolder() {
  const std::shared_ptr<WorkingFolderService> service =
      InstalledSlot<WorkingFolderService>().Current();
  if (service == nullptr) return DefaultFolder();
  std::filesystem::path folder = service->Folder();
  if (folder.empty() || !MakeFolder(folder)) return std::nullopt;
  return folder;
}

}  // namespace ovc
