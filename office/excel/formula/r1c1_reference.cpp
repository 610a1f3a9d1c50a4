#include "office/excel/formula/r1c1_reference.h"

#include <algorithm>

#include "automation/text.h"

namespace ovc::excel::formula {

namespace {

// One coordinate: the letter, then a number (absolute), a bracketed signed
// number (relative) or nothing (the cell's own). *given is false when the
// letter is absent.
bool ReadCoordinate(std::string_view* text, char letter, int32_t own, int32_t limit, int32_t* value,
                    bool* given) {
  *given = !text->empty() && ToUpperAscii(text->front()) == letter;
  if (!*given) return true;
  text->remove_prefix(1);
  const bool relative = !text->empty() && text->front() == '[';
  if (relative) text->remove_prefix(1);
  const bool negative = relative && !text->empty() && text->front() == '-';
  if (negative) text->remove_prefix(1);
  int64_t number = 0;
  size_t digits = 0;
  while (digits < text->size() && IsAsciiDigit((*text)[digits]) && number <= limit) {
    number = number * 10 + ((*text)[digits++] - '0');
  }
  text->remove_prefix(digits);
  if (relative) {
    if (digits == 0 || text->empty() || text->front() != ']') return false;
    text->remove_prefix(1);
    number = own + (negative ? -number : number);
  } else if (digits == 0) {
    number = own;
  }
  *value = int32_t(number);
  return number >= 1 && number <= limit;
}

// One end of a range; a missing row or column is the whole column or row.
bool ReadCorner(std::string_view text, int32_t row, int32_t column, Area* corner) {
  bool has_row = false, has_column = false;
  if (!ReadCoordinate(&text, 'R', row, kSheetRows, &corner->top, &has_row) ||
      !ReadCoordinate(&text, 'C', column, kSheetColumns, &corner->left, &has_column) ||
      !text.empty() || (!has_row && !has_column)) {
    return false;
  }
  corner->bottom = has_row ? corner->top : kSheetRows;
  corner->right = has_column ? corner->left : kSheetColumns;
  if (!has_row) corner->top = 1;
  if (!has_column) corner->left = 1;
  return true;
}

bool ReadSheet(std::string_view text, std::string* sheet) {
  if (text.empty() || text.front() != '\'') {
    *sheet = std::string(text);
    return !text.empty() && text.find('\'') == std::string_view::npos;
  }
  if (text.size() < 3 || text.back() != '\'') return false;
  sheet->clear();
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '\'' && (++i + 1 >= text.size() || text[i] != '\'')) return false;
    *sheet += text[i];
  }
  return true;
}

}  // namespace

bool ParseR1C1(std::string_view text, int32_t row, int32_t column, Area* area, std::string* sheet) {
  sheet->clear();
  const size_t bang = text.rfind('!');
  if (bang != std::string_view::npos) {
    if (!ReadSheet(text.substr(0, bang), sheet)) return false;
    text.remove_prefix(bang + 1);
  }
  const size_t colon = text.find(':');
  Area first, last;
  if (!ReadCorner(text.substr(0, colon), row, column, &first)) return false;
  last = first;
  if (colon != std::string_view::npos && !ReadCorner(text.substr(colon + 1), row, column, &last)) {
    return false;
  }
  area->top = std::min(first.top, last.top);
  area->left = std::min(first.left, last.left);
  area->bottom = std::max(first.bottom, last.bottom);
  area->right = std::max(first.right, last.right);
  return true;
}

}  // namespace ovc::excel::formula
