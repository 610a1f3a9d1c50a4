#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace ovc::office {

// The file system calls a package makes to open for writing and to save.
// Every call returns 0 on success or the errno of its failure. The real one
// is the default; tests derive from it to make one step fail.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The real file system; lives as long as the process.
  static FileSystem& Real();

  // Whether this process may create and rename files in `folder`, as an
  // atomic save does.
  virtual int CheckFolderWritable(const std::string& folder);
  // Creates `path`, which must not exist (O_EXCL), for reading and writing;
  // *fd is then owned by the caller.
  virtual int CreateExclusive(const std::string& path, mode_t mode, int* fd);
  // Writes all of `data` at the file's position.
  virtual int Write(int fd, std::string_view data);
  // Flushes the file's content to the device.
  virtual int Sync(int fd);
  // Gives the file this mode, and this owner where the process may.
  virtual int ChangeMode(int fd, mode_t mode);
  virtual int ChangeOwner(int fd, uid_t owner, gid_t group);
  // Renames `from` over `to`, replacing it.
  virtual int Rename(const std::string& from, const std::string& to);
  // Flushes the folder's entries to the device.
  virtual int SyncFolder(const std::string& folder);
  virtual int Remove(const std::string& path);
  virtual int Close(int fd);
};

}  // namespace ovc::office
