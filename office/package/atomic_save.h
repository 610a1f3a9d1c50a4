#pragma once

#include <string>
#include <string_view>

#include "office/package/file_lock.h"

namespace ovc::office {

class FileSystem;

// Replaces the file `path` leads to (through symbolic links, which stay)
// with `bytes`: a new file ".~<name>.<random>.tmp" beside it, written,
// flushed, given the old file's mode and (where allowed) owner, locked,
// renamed over it, the folder flushed. Returns 0 with *fd the new file, open
// and locked, owned by the caller; or the errno of the failing step, the old
// file then unchanged and no temporary file left.
int SaveAtomically(FileSystem& file_system, const std::string& path, std::string_view bytes,
                   const TraceSink& trace, int* fd);

}  // namespace ovc::office
