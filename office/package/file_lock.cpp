#include "office/package/file_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ovc::office {
namespace {

constexpr int kOpenAttempts = 4;

void Trace(const TraceSink& trace, const std::string& path, std::string_view what) {
  if (trace) trace(path + ": " + std::string(what));
}

bool SameFile(int fd, const std::string& path) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

int LockFile(int fd) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 0 : errno;
}

int OpenPackageFile(const std::string& path, bool read_only, const TraceSink& trace, int* fd,
                    bool* locked) {
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    *locked = false;
    *fd = read_only ? -1 : ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (*fd < 0 && !read_only && errno != EACCES && errno != EROFS && errno != EPERM &&
        errno != ETXTBSY) {
      return errno;
    }
    if (*fd < 0) {
      if (!read_only) Trace(trace, path, "not writable; opened read-only");
      *fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (*fd < 0) return errno;
    } else {
      const int error = LockFile(*fd);
      *locked = error == 0;
      if (error != 0) Trace(trace, path, "in use (locked); opened read-only");
    }
    if (SameFile(*fd, path)) return 0;
    ::close(*fd);
    *fd = -1;
  }
  return EAGAIN;
}

}  // namespace ovc::office
