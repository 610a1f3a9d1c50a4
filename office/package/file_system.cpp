#include "office/package/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "automation/file_io.h"

namespace ovc::office {

FileSystem& FileSystem::Real() {
  static FileSystem real;
  return real;
}

int FileSystem::CheckFolderWritable(const std::string& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

int FileSystem::CreateExclusive(const std::string& path, mode_t mode, int* fd) {
  *fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
  return *fd < 0 ? errno : 0;
}

int FileSystem::Write(int fd, std::string_view data) { return WriteAll(fd, data); }

int FileSystem::Sync(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }

int FileSystem::ChangeMode(int fd, mode_t mode) { return ::fchmod(fd, mode) == 0 ? 0 : errno; }

int FileSystem::ChangeOwner(int fd, uid_t owner, gid_t group) {
  return ::fchown(fd, owner, group) == 0 ? 0 : errno;
}

int FileSystem::Rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int FileSystem::SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return error;
}

int FileSystem::Remove(const std::string& path) { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

int FileSystem::Close(int fd) { return ::close(fd) == 0 ? 0 : errno; }

}  // namespace ovc::office
