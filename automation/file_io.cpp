#include "automation/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ovc {

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t count = ::write(fd, data.data(), data.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    data.remove_prefix(static_cast<size_t>(count));
  }
  return 0;
}

namespace {

int SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return error;
}

mode_t ModeFor(const std::filesystem::path& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0644;
}

}  // namespace

int ReadWholeFile(const std::filesystem::path& path, std::string* content) {
  // Only a regular file has an end to read to; a device or a pipe may never
  // give one. O_NONBLOCK keeps the open of a pipe from waiting for a writer,
  // and the kind is checked on what was opened, not on the name.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat status {};
  int refused = ::fstat(fd, &status) == 0 ? 0 : errno;
  if (refused == 0 && !S_ISREG(status.st_mode)) refused = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
  if (refused != 0) {
    ::close(fd);
    return refused;
  }
  std::string data;
  char buffer[65536];
  int error = 0;
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) error = errno;
    if (count <= 0) break;
    data.append(buffer, static_cast<size_t>(count));
  }
  ::close(fd);
  if (error == 0) *content = std::move(data);
  return error;
}

int ReplaceFileAtomically(const std::filesystem::path& path, std::string_view content,
                          bool* replaced) {
  if (replaced != nullptr) *replaced = false;
  std::string temporary = path.string() + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  int error = ::fchmod(fd, ModeFor(path)) == 0 ? WriteAll(fd, content) : errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  if (replaced != nullptr) *replaced = true;
  return SyncFolder(path.has_parent_path() ? path.parent_path() : std::filesystem::path("."));
}

}  // namespace ovc
