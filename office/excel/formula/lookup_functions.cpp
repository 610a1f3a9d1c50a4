#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "office/excel/formula/criteria.h"
#include "office/excel/formula/function_support.h"
#include "office/excel/formula/function_table.h"
#include "office/excel/formula/r1c1_reference.h"

namespace ovc::excel::formula {

namespace {

Value NotFound() { return Value::Error(ErrorCode::kNA); }
Value BadReference() { return Value::Error(ErrorCode::kRef); }

// How a look-up compares: exactly (wildcards in text), or the last value
// not above the one sought in ascending data, or the last not below it in
// descending data.
enum class Match { kExact, kAscending, kDescending };

// The 0-based position of `wanted` among `count` items, -1 when absent.
// Approximate matches scan while the data stays on the near side.
template <typename ItemAt>
int32_t Find(const Value& wanted, int32_t count, ItemAt item, Match match) {
  int32_t found = -1;
  for (int32_t i = 0; i < count; ++i) {
    const Value cell = item(i);
    if (match == Match::kExact) {
      if (LookupEquals(wanted, cell, true)) return i;
      continue;
    }
    if (cell.type() != wanted.type()) continue;
    const int order = Compare(cell, wanted);
    if (match == Match::kAscending ? order > 0 : order < 0) break;
    found = i;
  }
  return found;
}

std::optional<double> Number(const Arguments& a, size_t i, double fallback, Value* error) {
  if (a.missing(i)) return fallback;
  const Value number = ToNumber(a.Scalar(i));
  if (number.is_error()) {
    *error = number;
    return std::nullopt;
  }
  return std::trunc(number.number());
}

// VLOOKUP when kVertical, else HLOOKUP.
template <bool kVertical>
Operand TableLookup(const Arguments& a) {
  const Value wanted = a.Scalar(0);
  if (wanted.is_error()) return wanted;
  const Cells table(a, 1);
  if (table.whole.is_error()) return table.whole;
  Value error;
  const auto index = Number(a, 2, 0, &error);
  if (!index) return error;
  const Value approximate = a.missing(3) ? Value::Boolean(true) : ToBoolean(a.Scalar(3));
  if (approximate.is_error()) return approximate;
  const int32_t lines = kVertical ? table.rows : table.columns;
  const int32_t width = kVertical ? table.columns : table.rows;
  if (*index < 1) return Value::Error(ErrorCode::kValue);
  if (*index > width) return BadReference();
  const auto key = [&](int32_t i) { return kVertical ? table.At(i, 0) : table.At(0, i); };
  const int32_t found =
      Find(wanted, lines, key, approximate.boolean() ? Match::kAscending : Match::kExact);
  if (found < 0) return NotFound();
  const auto other = int32_t(*index) - 1;
  return kVertical ? table.At(found, other) : table.At(other, found);
}

// The items of a one-row or one-column range; false for a block.
bool Line(const Cells& cells, std::vector<Value>* items) {
  if (cells.rows != 1 && cells.columns != 1) return false;
  for (int32_t i = 0; i < cells.rows * cells.columns; ++i) {
    items->push_back(cells.rows == 1 ? cells.At(0, i) : cells.At(i, 0));
  }
  return true;
}

Operand MatchPosition(const Arguments& a) {
  const Value wanted = a.Scalar(0);
  if (wanted.is_error()) return wanted;
  std::vector<Value> items;
  if (!Line(Cells(a, 1), &items)) return NotFound();
  Value error;
  const auto type = Number(a, 2, 1, &error);
  if (!type) return error;
  const Match match = *type == 0  ? Match::kExact
                      : *type > 0 ? Match::kAscending
                                  : Match::kDescending;
  const int32_t found = Find(
      wanted, int32_t(items.size()), [&](int32_t i) { return items[i]; }, match);
  return found < 0 ? NotFound() : Value::Number(found + 1);
}

// LOOKUP: in the vector form, the result beside the last key not above the
// one sought; given a block alone, the keys are its first row when it is
// wider than tall, else its first column, and the results its last.
Operand Lookup(const Arguments& a) {
  const Value wanted = a.Scalar(0);
  if (wanted.is_error()) return wanted;
  const Cells source(a, 1);
  std::vector<Value> keys, results;
  if (a.missing(2) && source.rows > 1 && source.columns > 1) {
    const bool by_column = source.columns > source.rows;
    const int32_t count = by_column ? source.columns : source.rows;
    for (int32_t i = 0; i < count; ++i) {
      keys.push_back(by_column ? source.At(0, i) : source.At(i, 0));
      results.push_back(by_column ? source.At(source.rows - 1, i)
                                  : source.At(i, source.columns - 1));
    }
  } else if (!Line(source, &keys) || !Line(a.missing(2) ? source : Cells(a, 2), &results)) {
    return NotFound();
  }
  const int32_t found = Find(
      wanted, int32_t(keys.size()), [&](int32_t i) { return keys[i]; }, Match::kAscending);
  if (found < 0) return NotFound();
  return size_t(found) < results.size() ? results[found] : NotFound();
}

// The order of a key against the value sought; errors and arrays sort last.
int KeyOrder(const Value& key, const Value& wanted) {
  return key.is_error() || key.is_array() ? 1 : Compare(key, wanted);
}

// XLOOKUP's binary search over keys sorted ascending (or descending when
// `descending`): the position of an equal key, else of the next smaller
// (mode -1) or larger (mode 1) one; -1 when there is none.
int32_t BinarySearch(const std::vector<Value>& keys, const Value& wanted, int mode,
                     bool descending) {
  // The first key past the value sought in the keys' order.
  size_t low = 0, high = keys.size();
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    const int order = KeyOrder(keys[middle], wanted);
    if (descending ? order >= 0 : order <= 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  const auto before = int32_t(low) - 1;
  if (before >= 0 && KeyOrder(keys[before], wanted) == 0) return before;
  const bool after_is_larger = !descending;
  if (mode == 0) return -1;
  const int32_t pick = (mode > 0) == after_is_larger ? int32_t(low) : before;
  return pick < int32_t(keys.size()) ? pick : -1;
}

// XLOOKUP's linear search, from the last key when `backwards`.
int32_t LinearSearch(const std::vector<Value>& keys, const Value& wanted, int mode,
                     bool backwards) {
  int32_t found = -1;
  for (size_t step = 0; step < keys.size(); ++step) {
    const auto i = int32_t(backwards ? keys.size() - 1 - step : step);
    if (LookupEquals(wanted, keys[i], mode == 2)) return i;
    if (mode == 0 || mode == 2 || keys[i].type() != wanted.type()) continue;
    const int order = Compare(keys[i], wanted);
    const bool nearer = found < 0 || (mode < 0 ? Compare(keys[i], keys[found]) > 0
                                               : Compare(keys[i], keys[found]) < 0);
    if ((mode < 0 ? order < 0 : order > 0) && nearer) found = i;
  }
  return found;
}

// XLOOKUP: match mode 0 exact, -1 or 1 the next smaller or larger when
// none equals, 2 wildcards; search mode 1 from the first, -1 from the last,
// 2 and -2 binary over keys sorted ascending or descending.
Operand XLookup(const Arguments& a) {
  const Value wanted = a.Scalar(0);
  if (wanted.is_error()) return wanted;
  std::vector<Value> keys;
  const Cells results(a, 2);
  if (!Line(Cells(a, 1), &keys)) return Value::Error(ErrorCode::kValue);
  Value error;
  const auto mode = Number(a, 4, 0, &error);
  const auto search = Number(a, 5, 1, &error);
  if (!mode || !search) return error;
  const bool binary = std::fabs(*search) == 2;
  if (std::fabs(*mode) > 2 || *mode == -2 || (*search != 1 && *search != -1 && !binary) ||
      (binary && *mode == 2)) {
    return Value::Error(ErrorCode::kValue);
  }
  const int32_t found = binary ? BinarySearch(keys, wanted, int(*mode), *search < 0)
                               : LinearSearch(keys, wanted, int(*mode), *search < 0);
  if (found < 0) return a.missing(3) ? NotFound() : a.Scalar(3);
  const bool by_row = keys.size() > 1 ? Cells(a, 1).columns == 1 : results.columns == 1;
  return by_row ? results.At(found, 0) : results.At(0, found);
}

// INDEX: the cell at a row and column of a range (a reference) or array;
// 0 for a whole row or column; one number indexes a single row or column.
Operand Index(const Arguments& a) {
  Value error;
  auto row = Number(a, 1, 0, &error);
  auto column = Number(a, 2, 0, &error);
  if (!row || !column) return error;
  const Operand& source = a.operand(0);
  int32_t rows = 1, columns = 1;
  Area area;
  if (source.is_reference()) {
    if (source.areas.size() != 1) return BadReference();
    area = source.areas[0];
    rows = area.bottom - area.top + 1;
    columns = area.right - area.left + 1;
  } else if (source.value.is_array()) {
    rows = source.value.array().rows;
    columns = source.value.array().columns;
  }
  if (a.missing(2) && rows == 1) std::swap(*row, *column);
  // A dimension of one cell needs no index.
  if (*row == 0 && rows == 1) *row = 1;
  if (*column == 0 && columns == 1) *column = 1;
  if (*row < 0 || *column < 0 || *row > rows || *column > columns) return BadReference();
  if (!source.is_reference()) {
    if (*row == 0 || *column == 0) return source.value;
    return Cells(a, 0).At(int32_t(*row) - 1, int32_t(*column) - 1);
  }
  Operand cell;
  cell.areas.push_back(area);
  Area& picked = cell.areas.back();
  if (*row > 0) picked.top = picked.bottom = area.top + int32_t(*row) - 1;
  if (*column > 0) picked.left = picked.right = area.left + int32_t(*column) - 1;
  return cell;
}

// OFFSET: the reference moved and resized; outside the sheet #REF!.
Operand Offset(const Arguments& a) {
  const Operand& source = a.operand(0);
  if (!source.is_reference() || source.areas.size() != 1) return Value::Error(ErrorCode::kValue);
  const Area& area = source.areas[0];
  Value error;
  const auto rows = Number(a, 1, 0, &error);
  const auto columns = Number(a, 2, 0, &error);
  const auto height = Number(a, 3, area.bottom - area.top + 1, &error);
  const auto width = Number(a, 4, area.right - area.left + 1, &error);
  if (!rows || !columns || !height || !width) return error;
  const double top = area.top + *rows;
  const double left = area.left + *columns;
  const double bottom = top + *height - 1;
  const double right = left + *width - 1;
  if (*height < 1 || *width < 1 || top < 1 || left < 1 || bottom > kSheetRows ||
      right > kSheetColumns) {
    return BadReference();
  }
  Operand moved;
  moved.areas.push_back({area.sheet, int32_t(top), int32_t(left), int32_t(bottom), int32_t(right)});
  return moved;
}

// INDIRECT: the reference A1 text names, or R1C1 text when the second
// argument is false.
Operand Indirect(const Arguments& a) {
  const Value text = ToText(a.Scalar(0));
  if (text.is_error()) return text;
  const Value a1 = a.missing(1) ? Value::Boolean(true) : ToBoolean(a.Scalar(1));
  if (!a1.is_boolean()) return BadReference();
  Operand reference;
  reference.areas.emplace_back();
  std::string sheet;
  if (a1.boolean()) {
    Formula formula;
    std::string error;
    if (!ParseFormula(text.text(), &formula, &error) || formula.nodes.size() != 1 ||
        formula.nodes[0].kind != Node::Kind::kReference) {
      return BadReference();
    }
    reference.areas[0] = formula.nodes[0].area;
    if (formula.nodes[0].sheet_given) sheet = formula.nodes[0].text;
  } else if (!ParseR1C1(text.text(), a.context().row, a.context().column, &reference.areas[0],
                        &sheet)) {
    return BadReference();
  }
  reference.areas[0].sheet =
      sheet.empty() ? a.context().sheet : a.context().view->SheetIndex(sheet);
  return reference.areas[0].sheet < 0 ? Operand(BadReference()) : reference;
}

// ROW and COLUMN of a reference's first cell, or of the formula's cell.
template <bool kRow>
Operand Position(const Arguments& a) {
  if (a.missing(0)) return Value::Number(kRow ? a.context().row : a.context().column);
  if (!a.operand(0).is_reference()) return Value::Error(ErrorCode::kValue);
  const Area& area = a.operand(0).areas[0];
  return Value::Number(kRow ? area.top : area.left);
}

// ROWS and COLUMNS of a reference or array.
template <bool kRows>
Operand Extent(const Arguments& a) {
  const Operand& source = a.operand(0);
  if (source.is_reference()) {
    if (source.areas.size() != 1) return BadReference();
    const Area& area = source.areas[0];
    return Value::Number(kRows ? area.bottom - area.top + 1 : area.right - area.left + 1);
  }
  if (!source.value.is_array()) return Value::Number(1);
  return Value::Number(kRows ? source.value.array().rows : source.value.array().columns);
}

// clang-format off
const FunctionSpec kLookupFunctions[] = {
    {"VLOOKUP", 3, 4, 0, nullptr, TableLookup<true>},
    {"HLOOKUP", 3, 4, 0, nullptr, TableLookup<false>},
    {"LOOKUP", 2, 3, 0, nullptr, Lookup},
    {"MATCH", 2, 3, 0, nullptr, MatchPosition},
    {"XLOOKUP", 3, 6, 0, nullptr, XLookup},
    {"INDEX", 2, 3, 0, nullptr, Index},
    {"OFFSET", 3, 5, kVolatile, nullptr, Offset},
    {"INDIRECT", 1, 2, kVolatile, nullptr, Indirect},
    {"ROW", 0, 1, 0, nullptr, Position<true>},
    {"COLUMN", 0, 1, 0, nullptr, Position<false>},
    {"ROWS", 1, 1, 0, nullptr, Extent<true>},
    {"COLUMNS", 1, 1, 0, nullptr, Extent<false>},
};
// clang-format on

}  // namespace

std::span<const FunctionSpec> LookupFunctions() { return kLookupFunctions; }

}  // namespace ovc::excel::formula
