#pragma once

#include <string>
#include <string_view>

// The kinds of application file and the location names each accepts.
namespace ovc::apps {

enum class FileKind { kNone, kWorkbook, kDocument };

// The kind of file with extension `type` (".xlsx", ".DOC", ...): workbooks
// for .xlsx, .xlsm, .xls, documents for .docx, .doc, none otherwise.
FileKind FileKindOf(std::wstring_view type);

// Why a file of kind `kind` cannot take `name` as a location name, as a
// sentence fragment ("is not a valid ..."); empty when it can. A workbook
// name has at most 255 characters, starts with a letter, "_" or "\", goes
// on with letters, digits, "_", ".", "\" or "?", and does not read as a
// cell reference (A1 up to XFD1048576, or R1C1). A bookmark has at most 40
// characters, starts with a letter and goes on with letters, digits or "_".
// Files of no kind take any name.
std::wstring LocationNameProblem(FileKind kind, std::wstring_view name);

}  // namespace ovc::apps
