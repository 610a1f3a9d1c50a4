#pragma once

#include <string>
#include <string_view>

namespace ovc::office {

// Part names are absolute URI paths ("/xl/workbook.xml"). These functions
// work on the names only; none touches a file.

// The key two names compare by: percent escapes decoded, ASCII letters in
// lower case.
std::string PartKey(std::string_view part);

// The part name of a zip entry name ("xl/workbook.xml" -> "/xl/workbook.xml").
std::string PartNameOfEntry(std::string_view entry);

// True for an absolute name of non-empty segments, none "." or "..", none
// ending in ".", without a trailing slash, backslash or control character.
bool IsValidPartName(std::string_view part);

// Resolves a relationship target (relative to the source part's folder, or
// absolute) into *part. False when it leaves the package or is no valid
// part name. `source` is a part name or "/" for the package.
bool ResolveTarget(std::string_view source, std::string_view target, std::string* part);

// The relationships part of a source ("/" -> "/_rels/.rels",
// "/xl/workbook.xml" -> "/xl/_rels/workbook.xml.rels").
std::string RelationshipsPartName(std::string_view source);

// The inverse: the source whose relationships part `part` is. False when
// it is no relationships part.
bool SourceOfRelationshipsPart(std::string_view part, std::string* source);

// The target that refers to `part` from `source`'s folder.
std::string RelativeTarget(std::string_view source, std::string_view part);

// The extension of the last segment without the dot, "" when none.
std::string_view Extension(std::string_view part);

}  // namespace ovc::office
