#pragma once

#include <string>
#include <string_view>

#include "automation/hresult.h"

namespace ovc::dom {

// Reads the whole file at `path` (UTF-8 file name) into *content. The status
// for the system error (HresultFromErrno) on failure, with *content
// unchanged.
HRESULT ReadWholeFile(const std::string& path, std::string* content);

// Replaces the file at `path` with `content` atomically: the content goes
// into a new file beside it, is flushed to disk and renamed over the old
// file, so that a failure or a crash leaves either the old or the new file,
// whole. On failure the status for the system error, the old file untouched
// and no temporary file left behind.
HRESULT WriteFileAtomically(const std::string& path, std::string_view content);

}  // namespace ovc::dom
