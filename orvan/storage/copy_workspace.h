#pragma once

#include <string>

#include "orvan/status.h"
#include "orvan/storage/store.h"

namespace ovc::orvan {

// Copies every record of `from` (definitions, objects, values, bridges with
// their lock holders and versions, files with their holders and content,
// privileges and counters) into `to`, which must hold no records. Reads one
// snapshot of `from` and writes `to` in one transaction: on failure `to` is
// left as it was.
Status CopyWorkspace(Store* from, Store* to);

// Creates a new workspace at `target` (a file path or a database URI; an
// existing workspace or database is refused and left alone) and copies
// `from` into it. A copy that fails leaves no workspace file behind; a
// database at a URI is left holding an empty workspace.
Status CopyToNewWorkspace(Store* from, const std::string& target);

}  // namespace ovc::orvan
