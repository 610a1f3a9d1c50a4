#pragma once

#include <string>
#include <string_view>

namespace ovc::excel {

// The "[Book.xlsx]Sheet1!" before a reference or a sheet-level name.

// True when a sheet name must be quoted in a reference: it holds a character
// other than letters, digits, "_" and ".", starts with a digit, or reads as a
// cell reference in A1 or R1C1 form. An empty name needs quotes too.
bool SheetNameNeedsQuotes(std::string_view sheet);

// "Sheet1!" or, with a book, "[Book.xlsx]Sheet1!"; when the book or the sheet
// needs quotes (the book by the same characters as a sheet) the whole prefix
// is quoted with inner apostrophes doubled: "'[My Book.xlsx]My Sheet'!".
std::string FormatSheetPrefix(std::string_view book, std::string_view sheet);

// A reference or name split at its sheet prefix.
struct SheetQualified {
  std::string book;   // "" when the text names no book
  std::string sheet;  // "" when the text has no prefix
  std::string_view rest;
};

// Splits "'[Book.xlsx]My ''Sheet'''!X", "[Book.xlsx]Sheet!X", "Sheet!X" or
// "X" (quotes undone, inner apostrophes halved; `rest` points into `text`).
// True on success, including text without a prefix; false, *out untouched,
// when the prefix is malformed (an unclosed quote or bracket, a quoted part not
// followed by "!", an empty sheet).
bool SplitSheetPrefix(std::string_view text, SheetQualified* out);

}  // namespace ovc::excel
