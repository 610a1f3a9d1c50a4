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
// transaction. A workspace it could not keep as written is refused with
// kInvalidArgument and a message naming the object, OID, route, case or unit
// and what is wrong; the workspace is then left as it was. Refused besides
// text that is not JSON or of another format, and a key given twice in one
// object: definitions CheckCatalog refuses; an OID or case number that is not
// an integer within 32 bits (named by its JSON pointer, "/objects/3/oid");
// an OID listed twice (object, bridge, file) or a value listed twice;
// an unknown class view, route, case or unit; a value of the wrong kind, a
// fraction for an integer, a number that is not finite, an Enum text not
// allowed, several values for a single-valued attribute; a bridge document
// that is not well-formed XML; file content that is not base64.
Status ImportWorkspace(Store* store, std::string_view json_text);

// Replaces the file at `path` atomically: a failure leaves the file that was
// there whole.
Status ExportWorkspaceFile(Store* store, const std::filesystem::path& path);
// Imports the regular file at `path`; anything else (a folder, a pipe, a
// device) is refused with kNotFound.
Status ImportWorkspaceFile(Store* store, const std::filesystem::path& path);

}  // namespace ovc::orvan
