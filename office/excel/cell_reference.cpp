#include "office/excel/cell_reference.h"

#include "automation/text.h"

namespace ovc::excel {

namespace {

// Removes a leading "$" from *text; true when there was one.
bool TakeDollar(std::string_view* text) {
  if (text->empty() || text->front() != '$') return false;
  text->remove_prefix(1);
  return true;
}

// Splits off the longest prefix of *text whose characters satisfy `keep`.
template <typename Predicate>
std::string_view TakeWhile(std::string_view* text, Predicate keep) {
  size_t n = 0;
  while (n < text->size() && keep((*text)[n])) ++n;
  std::string_view taken = text->substr(0, n);
  text->remove_prefix(n);
  return taken;
}

}  // namespace

bool ParseColumnLetters(std::string_view text, int32_t* column) {
  if (text.empty()) return false;
  int32_t value = 0;
  for (char c : text) {
    if (!IsAsciiLetter(c)) return false;
    value = value * 26 + ((c | 0x20) - 'a' + 1);
    if (value > kMaxColumn) return false;
  }
  *column = value;
  return true;
}

bool ParseRowNumber(std::string_view text, int32_t* row) {
  if (text.empty()) return false;
  int32_t value = 0;
  for (char c : text) {
    if (!IsAsciiDigit(c)) return false;
    value = value * 10 + (c - '0');
    if (value > kMaxRow) return false;
  }
  if (value == 0) return false;
  *row = value;
  return true;
}

bool ParseA1Cell(std::string_view text, CellRef* cell) {
  TakeDollar(&text);
  const std::string_view letters = TakeWhile(&text, IsAsciiLetter<char>);
  TakeDollar(&text);
  CellRef parsed;
  if (!ParseColumnLetters(letters, &parsed.column) || !ParseRowNumber(text, &parsed.row)) {
    return false;
  }
  *cell = parsed;
  return true;
}

std::string ColumnLetters(int32_t column) {
  std::string letters;
  while (column > 0) {
    const int32_t digit = (column - 1) % 26;
    letters.insert(letters.begin(), static_cast<char>('A' + digit));
    column = (column - 1) / 26;
  }
  return letters;
}

std::string FormatA1Cell(CellRef cell) {
  return ColumnLetters(cell.column) + std::to_string(cell.row);
}

}  // namespace ovc::excel
