#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "orvan/status.h"
#include "orvan/storage/store.h"

// A whole workspace as one JSON document (format "orvan-workspace",
// described in orvan/README.md): definitions, objects with their values,
// bridges, files and privileges. Exporting what was imported gives the same
// JSON.
namespace ovc::orvan {

// The workspace as JSON text (UTF-8, indented, keys sorted).
Status ExportWorkspace(Store* store, std::string* json_text);

// Replaces everything in the workspace with the JSON's content, in one
// transaction: on any failure (text that is not JSON, a wrong format, a value
// for an unknown object, route or unit) the workspace is left as it was and
// the message says what is wrong.
Status ImportWorkspace(Store* store, std::string_view json_text);

Status ExportWorkspaceFile(Store* store, const std::filesystem::path& path);
Status ImportWorkspaceFile(Store* store, const std::filesystem::path& path);

}  // namespace ovc::orvan
