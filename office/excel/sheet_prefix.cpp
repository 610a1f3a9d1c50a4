#include "office/excel/sheet_prefix.h"

#include <utility>

#include "automation/text.h"
#include "office/excel/area_reference.h"

namespace ovc::excel {

namespace {

bool IsPlainCharacter(wchar_t c) {
  return IsAsciiDigit(c) || c == L'_' || c == L'.' || IsLetter(c);
}

bool HasOnlyPlainCharacters(std::string_view text) {
  for (wchar_t c : FromUtf8(text)) {
    if (!IsPlainCharacter(c)) return false;
  }
  return true;
}

bool StartsWithDigit(std::string_view text) { return !text.empty() && IsAsciiDigit(text.front()); }

std::string DoubleApostrophes(std::string_view text) {
  std::string doubled;
  for (char c : text) {
    doubled.push_back(c);
    if (c == '\'') doubled.push_back(c);
  }
  return doubled;
}

// Reads the quoted text at the start of `text` (which starts with "'") into
// *unquoted; *end is the index after the closing quote. False when unclosed.
bool ReadQuoted(std::string_view text, std::string* unquoted, size_t* end) {
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] != '\'') {
      unquoted->push_back(text[i]);
    } else if (i + 1 < text.size() && text[i + 1] == '\'') {
      unquoted->push_back('\'');
      ++i;
    } else {
      *end = i + 1;
      return true;
    }
  }
  return false;
}

// Splits "[Book]Sheet" or "Sheet" into book and sheet; false when a bracket
// is not closed or the sheet is empty. A sheet name holds no bracket, so the
// book ends at the last one: file names may hold brackets ("[Book [1].xlsx]").
bool SplitBook(std::string_view text, SheetQualified* out) {
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.rfind(']');
    if (close == std::string_view::npos) return false;
    out->book = std::string(text.substr(1, close - 1));
    text.remove_prefix(close + 1);
  }
  out->sheet = std::string(text);
  return !out->sheet.empty();
}

}  // namespace

bool SheetNameNeedsQuotes(std::string_view sheet) {
  CellRef cell;
  return sheet.empty() || !HasOnlyPlainCharacters(sheet) || StartsWithDigit(sheet) ||
         ParseA1Cell(sheet, &cell) || ReadsAsR1C1Reference(sheet);
}

std::string FormatSheetPrefix(std::string_view book, std::string_view sheet) {
  std::string prefix;
  if (!book.empty()) prefix = "[" + std::string(book) + "]";
  prefix += sheet;
  const bool quoted =
      SheetNameNeedsQuotes(sheet) || (!book.empty() && !HasOnlyPlainCharacters(book));
  if (quoted) return "'" + DoubleApostrophes(prefix) + "'!";
  return prefix + "!";
}

bool SplitSheetPrefix(std::string_view text, SheetQualified* out) {
  SheetQualified split;
  if (!text.empty() && text.front() == '\'') {
    std::string prefix;
    size_t end = 0;
    if (!ReadQuoted(text, &prefix, &end) || end >= text.size() || text[end] != '!') return false;
    if (!SplitBook(prefix, &split)) return false;
    split.rest = text.substr(end + 1);
  } else {
    const size_t bang = text.find('!');
    if (bang == std::string_view::npos) {
      split.rest = text;
    } else {
      if (!SplitBook(text.substr(0, bang), &split)) return false;
      split.rest = text.substr(bang + 1);
    }
  }
  *out = std::move(split);
  return true;
}

}  // namespace ovc::excel
