#include "automation/dom/xml_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ovc::dom {

namespace {

// Writes all of `content` to `fd`; false with errno set on failure.
bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// The permissions the new file gets: those of the file it replaces, or
// read-write for the owner and readable for others.
mode_t ModeFor(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0644;
}

}  // namespace

HRESULT ReadWholeFile(const std::string& path, std::string* content) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return HresultFromErrno(errno);
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
  if (error != 0) return HresultFromErrno(error);
  *content = std::move(data);
  return S_OK;
}

HRESULT WriteFileAtomically(const std::string& path, std::string_view content) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return HresultFromErrno(errno);
  int error = 0;
  if (::fchmod(fd, ModeFor(path)) != 0 || !WriteAll(fd, content) || ::fsync(fd) != 0) {
    error = errno;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return HresultFromErrno(error);
  }
  return S_OK;
}

}  // namespace ovc::dom
