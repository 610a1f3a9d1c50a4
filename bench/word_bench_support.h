#pragma once

#include <string>

// What the word-processing benchmarks share: a document of many bookmarks
// written directly as a zip package.
namespace ovc::word::bench {

enum class BookmarkKind { kPlain, kCell, kField };

// Bookmark `i` of a document WriteBookmarkDocument made: the first of
// every three lies over plain text, the second in a table cell, the third
// around a text form field.
BookmarkKind KindOf(int i);

// "Mark_<i>": the name of bookmark `i`, and of its form field.
std::string BookmarkName(int i);

// Writes a document with `count` bookmarks holding "old" at `path`: the
// plain and form-field ones in paragraphs of their own, the cell ones in a
// one-column table after them. False when the file cannot be written.
bool WriteBookmarkDocument(const std::string& path, int count);

}  // namespace ovc::word::bench
