#include "office/package/atomic_save.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "office/package/file_system.h"

namespace ovc::office {
namespace {

constexpr int kNameAttempts = 16;
constexpr size_t kSuffixDigits = 12;
constexpr std::string_view kDigits = "0123456789abcdef";
constexpr std::string_view kTemporaryEnd = ".tmp";
// A temporary file untouched this long belongs to no save in progress.
constexpr time_t kLeftoverAgeSeconds = 60;

// Twelve hex digits from the system's random source, or from the clock
// when it has none (the O_EXCL create still refuses a name in use).
std::string RandomSuffix() {
  uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
    bits = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  }
  std::string suffix;
  for (size_t i = 0; i < kSuffixDigits; ++i, bits >>= 4) suffix += kDigits[bits & 15];
  return suffix;
}

// The start of the temporary files' names of the file `name`.
std::string TemporaryPrefix(const std::string& name) { return ".~" + name + "."; }

// Whether `entry` names a temporary file of the file `name`.
bool IsTemporaryOf(std::string_view entry, const std::string& name) {
  const std::string prefix = TemporaryPrefix(name);
  if (entry.size() != prefix.size() + kSuffixDigits + kTemporaryEnd.size() ||
      !entry.starts_with(prefix) || !entry.ends_with(kTemporaryEnd)) {
    return false;
  }
  return entry.substr(prefix.size(), kSuffixDigits).find_first_not_of(kDigits) ==
         std::string_view::npos;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }
std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Creates the temporary file beside `target` and locks it at once, so that
// a cleanup never takes it for a leftover; 0 with *temporary and *fd, or
// the errno.
int CreateTemporary(FileSystem& file_system, const std::string& target, mode_t mode,
                    std::string* temporary, int* fd) {
  int error = EEXIST;
  for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
    *temporary = FolderOf(target) + TemporaryPrefix(NameOf(target)) + RandomSuffix() +
                 std::string(kTemporaryEnd);
    error = file_system.CreateExclusive(*temporary, mode, fd);
  }
  if (error == 0 && (error = LockFile(*fd)) != 0) {
    file_system.Close(*fd);
    file_system.Remove(*temporary);
  }
  return error;
}

// Writes and flushes the temporary file; 0 or the errno.
int Write(FileSystem& file_system, int fd, std::string_view bytes) {
  if (int error = file_system.Write(fd, bytes)) return error;
  return file_system.Sync(fd);
}

// Writes the temporary file and gives it the mode and owner of the file
// `old` it replaces; 0 or the errno.
int Fill(FileSystem& file_system, int fd, std::string_view bytes, const struct stat& old,
         const std::string& target, const TraceSink& trace) {
  if (int error = Write(file_system, fd, bytes)) return error;
  if (int error = file_system.ChangeMode(fd, old.st_mode & 07777)) return error;
  struct stat now {};
  if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
      file_system.ChangeOwner(fd, old.st_uid, old.st_gid) != 0 && trace) {
    trace(target + ": the owner could not be kept");
  }
  if (old.st_nlink > 1 && trace) trace(target + ": hard-linked; the other names keep the old file");
  return 0;
}

// 0 when `target` is still the version `expected`, with its status in *status;
// else kFileChangedMeanwhile or the errno.
int CheckVersion(const std::string& target, const FileVersion& expected, struct stat* status) {
  if (::stat(target.c_str(), status) != 0) return errno == ENOENT ? kFileChangedMeanwhile : errno;
  return FileVersion::Of(*status) == expected ? 0 : kFileChangedMeanwhile;
}

// Removes the temporary file `path` when it is a leftover: a regular file
// no save holds locked, untouched for kLeftoverAgeSeconds. True when removed.
bool RemoveIfLeftover(FileSystem& file_system, const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status {};
  const bool leftover = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                        ::time(nullptr) - status.st_mtime >= kLeftoverAgeSeconds &&
                        LockFile(fd) == 0 && SameFile(fd, path) && file_system.Remove(path) == 0;
  ::close(fd);
  return leftover;
}

}  // namespace

FileVersion FileVersion::Of(const struct stat& status) {
  return {status.st_dev, status.st_ino, status.st_size, status.st_mtim};
}

bool FileVersion::operator==(const FileVersion& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

namespace {

// Renames the filled temporary file over `target` and flushes the folder,
// unless `error` already tells a failure; on failure the temporary file
// goes.
int Commit(FileSystem& file_system, const std::string& temporary, const std::string& target,
           int error, const TraceSink& trace, int* fd) {
  if (error == 0) error = file_system.Rename(temporary, target);
  if (error != 0) {
    file_system.Close(*fd);
    *fd = -1;
    file_system.Remove(temporary);
    return error;
  }
  if (file_system.SyncFolder(FolderOf(target)) != 0 && trace) {
    trace(target + ": the folder was not flushed");
  }
  return 0;
}

// SaveAtomically over the real path `target`.
int Replace(FileSystem& file_system, const std::string& target, std::string_view bytes,
            const FileVersion& expected, const TraceSink& trace, int* fd) {
  struct stat old {};
  if (int error = CheckVersion(target, expected, &old)) return error;
  std::string temporary;
  if (int error = CreateTemporary(file_system, target, 0600, &temporary, fd)) return error;
  struct stat unchanged {};
  int error = Fill(file_system, *fd, bytes, old, target, trace);
  if (error == 0) error = CheckVersion(target, expected, &unchanged);
  return Commit(file_system, temporary, target, error, trace, fd);
}

// Writes the new file `target`, which must still be absent when it is
// renamed into place; its mode is 0666 less the umask.
int CreateNew(FileSystem& file_system, const std::string& target, std::string_view bytes,
              const TraceSink& trace, int* fd) {
  std::string temporary;
  if (int error = CreateTemporary(file_system, target, 0666, &temporary, fd)) return error;
  int error = Write(file_system, *fd, bytes);
  struct stat appeared {};
  if (error == 0 && ::lstat(target.c_str(), &appeared) == 0) error = kFileChangedMeanwhile;
  return Commit(file_system, temporary, target, error, trace, fd);
}

// The real path of the file `path` names, also when there is no file yet:
// then that of its folder with its name. A dangling symbolic link is
// ENOENT.
int ResolveTarget(const std::string& path, std::string* target) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) {
    *target = resolved;
    return 0;
  }
  if (errno != ENOENT) return errno;
  struct stat link {};
  if (::lstat(path.c_str(), &link) == 0) return ENOENT;
  const std::string folder = FolderOf(path);
  if (::realpath(folder.empty() ? "." : folder.c_str(), resolved) == nullptr) return errno;
  const std::string_view real_folder = resolved;
  *target = std::string(real_folder) + (real_folder.ends_with('/') ? "" : "/") + NameOf(path);
  return 0;
}

// 0 when no open file description holds the lock of the existing file
// `target`; kFileInUse when one does, else the errno (EACCES for a file
// this process may not write).
int CheckNotInUse(const std::string& target) {
  const int fd = ::open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = LockFile(fd);
  ::close(fd);
  return error == EAGAIN ? kFileInUse : error;
}

}  // namespace

int SaveAtomically(FileSystem& file_system, const std::string& path, std::string_view bytes,
                   const FileVersion& expected, const TraceSink& trace, int* fd) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) {
    return errno == ENOENT ? kFileChangedMeanwhile : errno;
  }
  return Replace(file_system, resolved, bytes, expected, trace, fd);
}

int SaveAtomicallyAs(FileSystem& file_system, const std::string& path, std::string_view bytes,
                     const TraceSink& trace, int* fd) {
  std::string target;
  if (int error = ResolveTarget(path, &target)) return error;
  struct stat existing {};
  if (::stat(target.c_str(), &existing) != 0) {
    return errno == ENOENT ? CreateNew(file_system, target, bytes, trace, fd) : errno;
  }
  if (!S_ISREG(existing.st_mode)) return EISDIR;
  if (int error = CheckNotInUse(target)) return error;
  return Replace(file_system, target, bytes, FileVersion::Of(existing), trace, fd);
}

int CheckFolderTakesSave(FileSystem& file_system, const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return 0;
  return file_system.CheckFolderWritable(FolderOf(resolved));
}

void RemoveLeftoverTemporaries(FileSystem& file_system, const std::string& path,
                               const TraceSink& trace) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return;
  const std::string target = resolved;
  const std::string name = NameOf(target);
  std::error_code error;
  for (std::filesystem::directory_iterator entry(FolderOf(target), error), end;
       !error && entry != end; entry.increment(error)) {
    const std::string entry_name = entry->path().filename().string();
    if (!IsTemporaryOf(entry_name, name)) continue;
    if (RemoveIfLeftover(file_system, entry->path().string()) && trace) {
      trace(path + ": removed the leftover temporary file " + entry_name);
    }
  }
}

}  // namespace ovc::office
