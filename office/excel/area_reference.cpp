#include "office/excel/area_reference.h"

#include "automation/text.h"

#include <algorithm>
#include <cstddef>

namespace ovc::excel {

namespace {

std::string_view WithoutDollar(std::string_view text) {
  if (!text.empty() && text.front() == '$') text.remove_prefix(1);
  return text;
}

bool ParseColumnPart(std::string_view text, int32_t* column) {
  return ParseColumnLetters(WithoutDollar(text), column);
}

bool ParseRowPart(std::string_view text, int32_t* row) {
  return ParseRowNumber(WithoutDollar(text), row);
}

bool ParseCorners(std::string_view first, std::string_view last, CellArea* area) {
  CellArea parsed;
  if (ParseA1Cell(first, &parsed.first) && ParseA1Cell(last, &parsed.last)) {
    *area = parsed;
    return true;
  }
  if (ParseColumnPart(first, &parsed.first.column) && ParseColumnPart(last, &parsed.last.column)) {
    parsed.first.row = 1;
    parsed.last.row = kMaxRow;
    *area = parsed;
    return true;
  }
  if (ParseRowPart(first, &parsed.first.row) && ParseRowPart(last, &parsed.last.row)) {
    parsed.first.column = 1;
    parsed.last.column = kMaxColumn;
    *area = parsed;
    return true;
  }
  return false;
}

// Skips a number after "R" or "C": digits, or a bracketed signed offset.
// False when something is there but is not such a number.
bool SkipR1C1Number(std::string_view text, size_t* i) {
  if (*i < text.size() && text[*i] == '[') {
    ++*i;
    if (*i < text.size() && (text[*i] == '-' || text[*i] == '+')) ++*i;
    const size_t digits = *i;
    while (*i < text.size() && IsAsciiDigit(text[*i])) ++*i;
    if (*i == digits || *i >= text.size() || text[*i] != ']') return false;
    ++*i;
    return true;
  }
  while (*i < text.size() && IsAsciiDigit(text[*i])) ++*i;
  return true;
}

bool SkipR1C1Axis(std::string_view text, size_t* i, char letter, bool* found) {
  *found = *i < text.size() && (text[*i] | 0x20) == letter;
  if (!*found) return true;
  ++*i;
  return SkipR1C1Number(text, i);
}

bool ReadsAsR1C1Part(std::string_view text) {
  size_t i = 0;
  bool row = false;
  bool column = false;
  if (!SkipR1C1Axis(text, &i, 'r', &row) || !SkipR1C1Axis(text, &i, 'c', &column)) return false;
  return (row || column) && i == text.size();
}

std::string R1C1Part(char letter, int32_t index, bool absolute) {
  std::string part(1, letter);
  if (absolute) return part + std::to_string(index);
  if (index != 1) part += "[" + std::to_string(index - 1) + "]";
  return part;
}

std::string A1Column(int32_t column, bool absolute) {
  return (absolute ? "$" : "") + ColumnLetters(column);
}

std::string A1Row(int32_t row, bool absolute) {
  return (absolute ? "$" : "") + std::to_string(row);
}

// The address of one corner, or of one side of a whole-row or whole-column
// area.
std::string FormatPart(CellRef cell, bool whole_rows, bool whole_columns, AddressStyle style) {
  if (style.r1c1) {
    std::string part;
    if (!whole_columns) part += R1C1Part('R', cell.row, style.row_absolute);
    if (!whole_rows) part += R1C1Part('C', cell.column, style.column_absolute);
    return part;
  }
  std::string part;
  if (!whole_rows) part += A1Column(cell.column, style.column_absolute);
  if (!whole_columns) part += A1Row(cell.row, style.row_absolute);
  return part;
}

}  // namespace

bool ParseAreaReference(std::string_view text, CellArea* area) {
  const size_t colon = text.find(':');
  CellArea parsed;
  if (colon == std::string_view::npos) {
    if (!ParseA1Cell(text, &parsed.first)) return false;
    parsed.last = parsed.first;
  } else if (!ParseCorners(text.substr(0, colon), text.substr(colon + 1), &parsed)) {
    return false;
  }
  *area = {{std::min(parsed.first.row, parsed.last.row),
            std::min(parsed.first.column, parsed.last.column)},
           {std::max(parsed.first.row, parsed.last.row),
            std::max(parsed.first.column, parsed.last.column)}};
  return true;
}

bool ReadsAsR1C1Reference(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return ReadsAsR1C1Part(text);
  return ReadsAsR1C1Part(text.substr(0, colon)) && ReadsAsR1C1Part(text.substr(colon + 1));
}

int64_t AreaRows(const CellArea& area) { return int64_t{area.last.row} - area.first.row + 1; }

int64_t AreaColumns(const CellArea& area) {
  return int64_t{area.last.column} - area.first.column + 1;
}

int64_t AreaCells(const CellArea& area) { return AreaRows(area) * AreaColumns(area); }

bool ResizeArea(const CellArea& area, std::optional<int32_t> rows, std::optional<int32_t> columns,
                CellArea* resized, std::string* reason, HRESULT* code) {
  const int64_t row_count = rows.value_or(static_cast<int32_t>(AreaRows(area)));
  const int64_t column_count = columns.value_or(static_cast<int32_t>(AreaColumns(area)));
  const int64_t last_row = area.first.row + row_count - 1;
  const int64_t last_column = area.first.column + column_count - 1;
  if (row_count < 1 || column_count < 1) {
    *reason = "Resize needs at least one row and one column";
  } else if (last_row > kMaxRow || last_column > kMaxColumn) {
    *reason = "Resize reaches past the last row or column of the sheet";
  } else {
    *resized = {area.first, {static_cast<int32_t>(last_row), static_cast<int32_t>(last_column)}};
    return true;
  }
  *code = E_INVALIDARG;
  return false;
}

std::string FormatAddress(const CellArea& area, AddressStyle style) {
  const bool whole_rows = area.first.column == 1 && area.last.column == kMaxColumn;
  const bool whole_columns = !whole_rows && area.first.row == 1 && area.last.row == kMaxRow;
  const std::string first = FormatPart(area.first, whole_rows, whole_columns, style);
  const std::string last = FormatPart(area.last, whole_rows, whole_columns, style);
  // A1 always writes both sides of whole rows or columns ("$A:$A"); R1C1
  // writes one when they are the same ("C1").
  const bool one_side = style.r1c1 || !(whole_rows || whole_columns);
  if (one_side && first == last) return first;
  return first + ":" + last;
}

}  // namespace ovc::excel
