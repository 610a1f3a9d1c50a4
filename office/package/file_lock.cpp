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

// Opens without waiting (a FIFO would block a read-only open) and accepts
// regular files only; the fd or -1 with errno set.
int OpenRegular(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
  struct stat status {};
  if (fd < 0 || (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode))) return fd;
  ::close(fd);
  errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
  return -1;
}

}  // namespace

bool SameFile(int fd, const std::string& path) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

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
    *fd = read_only ? -1 : OpenRegular(path, O_RDWR);
    if (*fd < 0 && !read_only && errno != EACCES && errno != EROFS && errno != EPERM &&
        errno != ETXTBSY) {
      return errno;
    }
    if (*fd < 0) {
      if (!read_only) Trace(trace, path, "not writable; opened read-only");
      *fd = OpenRegular(path, O_RDONLY);
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
