#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ovc {

// Reads the whole regular file at `path` into *content. Returns 0, or the
// errno of the failure with *content unchanged: EISDIR for a folder, EINVAL
// for anything else that is not a regular file.
int ReadWholeFile(const std::filesystem::path& path, std::string* content);

// Writes all of `data` to the open file `fd` at its position, retrying
// interrupted and partial writes. Returns 0 or the errno of the failure.
int WriteAll(int fd, std::string_view data);

// Replaces the file at `path` with `content` so that a failure or a crash
// leaves either the old or the new file, whole: the content goes into a new
// file beside it (with the old file's permissions, 0644 for a new file), is
// flushed, renamed over the old file, and the folder is flushed. Returns 0 or
// the errno of the failing step. When `replaced` is given it tells whether
// the new file took the old one's place (only flushing the folder can fail
// after that); when it did not, the old file is untouched and no temporary
// file remains.
int ReplaceFileAtomically(const std::filesystem::path& path, std::string_view content,
                          bool* replaced = nullptr);

}  // namespace ovc
