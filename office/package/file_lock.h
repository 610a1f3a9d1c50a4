#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace ovc::office {

using TraceSink = std::function<void(std::string_view)>;

// True when `path` names the file open at `fd` (same device and inode).
bool SameFile(int fd, const std::string& path);

// Takes the advisory write lock of an open file description on the whole
// file; conflicts with every other description, in this process too.
// Returns 0, or the errno (EAGAIN when another holds it).
int LockFile(int fd);

// Opens the file at `path` for a package. A writable open (read_only false)
// opens it for reading and writing and locks it; when the file is not
// writable or the lock is busy, *locked is false (traced) and the file stays
// open for reading. The open is retried while `path` names another file than
// the one opened (replaced meanwhile). Returns 0 with *fd owned by the
// caller, or the errno (EISDIR or EINVAL for what is no regular file).
int OpenPackageFile(const std::string& path, bool read_only, const TraceSink& trace, int* fd,
                    bool* locked);

}  // namespace ovc::office
