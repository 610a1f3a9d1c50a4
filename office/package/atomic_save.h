#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "office/package/file_lock.h"

namespace ovc::office {

class FileSystem;

// One version of one file: the same file (device, inode) with the same size
// and modification time.
struct FileVersion {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  struct timespec modified {};

  static FileVersion Of(const struct stat& status);
  bool operator==(const FileVersion& other) const;
};

// What SaveAtomically returns when `path` no longer names the version it
// was given: another program replaced or changed the file.
inline constexpr int kFileChangedMeanwhile = -1;

// Replaces the file `path` leads to (through symbolic links, which stay)
// with `bytes`, provided it still is `expected`: a new file
// ".~<name>.<random>.tmp" beside it, locked, written, flushed, given the old
// file's mode and (where allowed) owner, checked against `expected` again,
// renamed over it, the folder flushed. Returns 0 with *fd the new file, open
// and locked, owned by the caller; or kFileChangedMeanwhile, or the errno of
// the failing step, the old file then unchanged and no temporary file left.
int SaveAtomically(FileSystem& file_system, const std::string& path, std::string_view bytes,
                   const FileVersion& expected, const TraceSink& trace, int* fd);

// What SaveAtomicallyAs returns when another open of the file it would
// replace (in this process or another) holds the file's lock.
inline constexpr int kFileInUse = -2;

// Writes `bytes` as the file `path` names: a new file (mode 0666 less the
// umask), or one replacing the file there as SaveAtomically does, unless
// another open holds that file's lock (kFileInUse) or this process may not
// write it (EACCES). Returns 0 with *fd the new file, open and locked, owned
// by the caller; kFileChangedMeanwhile when a file appeared meanwhile, or
// the errno of the failing step; on failure whatever was there is unchanged
// and no temporary file is left.
int SaveAtomicallyAs(FileSystem& file_system, const std::string& path, std::string_view bytes,
                     const TraceSink& trace, int* fd);

// 0 when the folder of the file `path` leads to lets a save create and
// rename files there, else the errno; 0 also when `path` leads nowhere.
int CheckFolderTakesSave(FileSystem& file_system, const std::string& path);

// Removes the temporary files a save of `path` left beside it when it was
// killed half-way: those of its name pattern that no live save holds
// locked and that nothing touched for a minute (a save locks its file just
// after creating it). Each removal is traced.
void RemoveLeftoverTemporaries(FileSystem& file_system, const std::string& path,
                               const TraceSink& trace);

}  // namespace ovc::office
