#pragma once

#include <filesystem>
#include <functional>

namespace ovc::apps {

// The first name a working copy of the file `source` takes in `folder`:
// the file's own name, or "Copy of " and its name when `source` already
// lies there under that name.
std::filesystem::path WorkingCopyPath(const std::filesystem::path& folder,
                                      const std::filesystem::path& source);

// Copies the file `source` into `folder` under the first of
// WorkingCopyPath, "<stem> (2)<extension>", "<stem> (3)<extension>", ...
// that no file has and `in_use` does not claim. An existing file is never
// replaced; the copy appears whole under its name or not at all, readable
// and writable by the user. Returns 0 with the copy's path in *copy, or
// the errno of the failure.
int MakeWorkingCopy(const std::filesystem::path& source, const std::filesystem::path& folder,
                    const std::function<bool(const std::filesystem::path&)>& in_use,
                    std::filesystem::path* copy);

}  // namespace ovc::apps
