#pragma once

#include <filesystem>
#include <memory>
#include <optional>

namespace ovc {

// Names the folder where the library makes working copies of application
// files. The embedding program may install its own (SetWorkingFolderService);
// without one the folder is "Orvan Files" in the user's temporary folder
// ("Orvan Files-<user number>" when other users may write there).
class WorkingFolderService {
 public:
  virtual ~WorkingFolderService() = default;
  // The folder's path; empty when there is none.
  virtual std::filesystem::path Folder() = 0;
};

// Installs the process's working-folder service, replacing the previous one;
// null restores the default. The library shares ownership of the service.
void SetWorkingFolderService(std::shared_ptr<WorkingFolderService> service);

// The installed service's folder, made (readable and writable by the user
// alone) when it is missing; its parent must exist. nullopt when the service
// names none or it is not a folder that can be made or used. The default
// folder, which lies in a folder other users share, is also refused when it
// is a symbolic link or belongs to another user.
std::optional<std::filesystem::path> WorkingFolder();

}  // namespace ovc
