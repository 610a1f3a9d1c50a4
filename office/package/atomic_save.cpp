#include "office/package/atomic_save.h"

#include <sys/random.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "office/package/file_system.h"

namespace ovc::office {
namespace {

constexpr int kNameAttempts = 16;

// Twelve hex digits from the system's random source, or from the clock
// when it has none (the O_EXCL create still refuses a name in use).
std::string RandomSuffix() {
  static constexpr char kDigits[] = "0123456789abcdef";
  uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
    bits = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  }
  std::string suffix;
  for (int i = 0; i < 12; ++i, bits >>= 4) suffix += kDigits[bits & 15];
  return suffix;
}

// Creates the temporary file beside `target`; 0 with *temporary and *fd, or
// the errno.
int CreateTemporary(FileSystem& file_system, const std::string& target, std::string* temporary,
                    int* fd) {
  const size_t slash = target.rfind('/');
  const std::string folder = target.substr(0, slash + 1);
  const std::string name = target.substr(slash + 1);
  int error = EEXIST;
  for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
    *temporary = folder + ".~" + name + "." + RandomSuffix() + ".tmp";
    error = file_system.CreateExclusive(*temporary, 0600, fd);
  }
  return error;
}

// Writes and prepares the temporary file; 0 or the errno.
int Fill(FileSystem& file_system, int fd, std::string_view bytes, const struct stat& old,
         const std::string& target, const TraceSink& trace) {
  if (int error = file_system.Write(fd, bytes)) return error;
  if (int error = file_system.Sync(fd)) return error;
  if (int error = file_system.ChangeMode(fd, old.st_mode & 07777)) return error;
  struct stat now {};
  if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
      file_system.ChangeOwner(fd, old.st_uid, old.st_gid) != 0 && trace) {
    trace(target + ": the owner could not be kept");
  }
  if (old.st_nlink > 1 && trace) trace(target + ": hard-linked; the other names keep the old file");
  return LockFile(fd);
}

}  // namespace

int SaveAtomically(FileSystem& file_system, const std::string& path, std::string_view bytes,
                   const TraceSink& trace, int* fd) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return errno;
  const std::string target = resolved;
  struct stat old {};
  if (::stat(target.c_str(), &old) != 0) return errno;
  std::string temporary;
  if (int error = CreateTemporary(file_system, target, &temporary, fd)) return error;
  int error = Fill(file_system, *fd, bytes, old, target, trace);
  if (error == 0) error = file_system.Rename(temporary, target);
  if (error != 0) {
    file_system.Close(*fd);
    *fd = -1;
    file_system.Remove(temporary);
    return error;
  }
  const std::string folder = target.substr(0, target.rfind('/') + 1);
  if (file_system.SyncFolder(folder) != 0 && trace) trace(target + ": the folder was not flushed");
  return 0;
}

}  // namespace ovc::office
