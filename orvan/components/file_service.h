#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "orvan/components/component.h"
#include "orvan/files/file_checkout.h"

namespace ovc::orvan::components {

// "Orvan.FileService": application files stored in a workspace, checked out
// by the workspace's user into a working folder. Each operation names the
// workspace it works on. The working folder is "Orvan Files" in the user's
// home folder ($HOME when set) until WorkingFolder is set; it is created when first needed.
// Failures (unknown file, a file another user holds, a closed workspace, an
// object that is not a workspace) come back with an error object.
class FileService final : public Component<IOVFileService> {
 public:
  FileService();

  // Stores the local file as a new record: its content when not linked,
  // its absolute path when linked.
  HRESULT AddFile(const std::wstring& local_path, VARIANT_BOOL linked, IDispatch* workspace,
                  int32_t* oid) override;
  // The path to work on: the copy in the working folder for an embedded
  // file, the linked path for a linked one. Refused while another user
  // holds the file.
  HRESULT CheckOut(int32_t oid, IDispatch* workspace, std::wstring* local_path) override;
  HRESULT CheckIn(int32_t oid, IDispatch* workspace) override;
  HRESULT UndoCheckOut(int32_t oid, IDispatch* workspace) override;
  HRESULT ConvertToEmbedded(int32_t oid, IDispatch* workspace) override;
  HRESULT FileRecord(int32_t oid, IDispatch* workspace, std::wstring* holder,
                     std::wstring* file_name, VARIANT_BOOL* linked) override;
  // An empty folder is refused.
  HRESULT put_WorkingFolder(const std::wstring& folder) override;
  // The local path of the file when the workspace's user holds it, else
  // empty. The record's own file name is used; `file_name` is not needed.
  HRESULT OwnCheckOut(int32_t oid, const std::wstring& file_name, IDispatch* workspace,
                      std::wstring* local_path) override;
  // Writes the current content to the working folder without taking the file.
  HRESULT GetCopy(int32_t oid, IDispatch* workspace, std::wstring* local_path) override;

 private:
  // The check-out operations on `workspace` for its user (whose name goes
  // to *user when given), or the failure to report.
  HRESULT Files(IDispatch* workspace, std::optional<FileCheckout>* files,
                std::wstring* user = nullptr);

  std::filesystem::path working_folder_;
};

}  // namespace ovc::orvan::components
