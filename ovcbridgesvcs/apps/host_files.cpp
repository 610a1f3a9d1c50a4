#include "ovcbridgesvcs/apps/host_files.h"

#include <filesystem>
#include <optional>

#include "automation/text.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/working_folder.h"
#include "ovcbridgesvcs/host/host_state.h"

namespace ovc::apps {

ComPtr<IOVFileService> HostFileService(CMethodFrame& frame) {
  const std::optional<std::filesystem::path> folder = WorkingFolder();
  if (!folder) {
    RaiseErrorText(frame, SourceLocation::Current(), E_FAIL,
                   L"There is no working folder for application files.");
  }
  ComPtr<IOVFileService> files = HostState::Current().FileService(frame);
  CheckAndRaise(frame, files->put_WorkingFolder(FromUtf8(folder->string())));
  return files;
}

}  // namespace ovc::apps
