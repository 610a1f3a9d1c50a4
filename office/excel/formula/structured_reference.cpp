#include "office/excel/formula/structured_reference.h"

#include <algorithm>
#include <array>
#include <vector>

#include "automation/text.h"

namespace ovc::excel::formula {
namespace {

bool IsNameStart(char c) {
  return IsAsciiLetter(c) || c == '_' || c == '\\' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsNameCharacter(char c) { return IsNameStart(c) || IsAsciiDigit(c) || c == '.'; }

// One bracketed item of the specifier: a column name or a "#" keyword.
struct Item {
  std::string text;
  bool keyword = false;
};

// Reads from `text` at `*at` (just past a "[") up to the unescaped "]",
// which it consumes. False on a bracket inside or a missing "]".
bool ReadItem(std::string_view text, size_t* at, Item* item) {
  item->keyword = *at < text.size() && text[*at] == '#';
  for (size_t i = *at; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\'') {
      if (++i == text.size()) return false;
      item->text.push_back(text[i]);
    } else if (c == ']') {
      *at = i + 1;
      return true;
    } else if (c == '[') {
      return false;
    } else {
      item->text.push_back(c);
    }
  }
  return false;
}

void SkipBlanks(std::string_view text, size_t* at) {
  while (*at < text.size() && text[*at] == ' ') ++*at;
}

// The items of "[[a],[b]:[c]]" after the outer "[": each with the separator
// that followed it (',', ':' or ']' for the last).
bool ReadItemList(std::string_view text, size_t* at, std::vector<std::pair<Item, char>>* items) {
  while (true) {
    SkipBlanks(text, at);
    if (*at >= text.size() || text[*at] != '[') return false;
    ++*at;
    Item item;
    if (!ReadItem(text, at, &item)) return false;
    SkipBlanks(text, at);
    if (*at >= text.size()) return false;
    const char separator = text[(*at)++];
    if (separator != ',' && separator != ':' && separator != ']') return false;
    items->emplace_back(std::move(item), separator);
    if (separator == ']') return true;
  }
}

// The bands a reference takes: header row, data rows, totals row, and
// the formula's own row.
struct Bands {
  std::array<bool, 3> rows{};
  bool this_row = false;
};

// Adds the row bands of a keyword to `bands`; false for an unknown one.
bool AddKeyword(const std::string& keyword, Bands* bands) {
  const std::wstring wide = FromUtf8(keyword);
  if (EqualsNoCase(wide, L"#This Row")) {
    bands->this_row = true;
    return true;
  }
  std::array<bool, 3>* rows = &bands->rows;
  if (EqualsNoCase(wide, L"#All")) {
    rows->fill(true);
  } else if (EqualsNoCase(wide, L"#Headers")) {
    (*rows)[0] = true;
  } else if (EqualsNoCase(wide, L"#Data")) {
    (*rows)[1] = true;
  } else if (EqualsNoCase(wide, L"#Totals")) {
    (*rows)[2] = true;
  } else {
    return false;
  }
  return true;
}

// Sets the span of rows from `bands`; false when the bands do not touch
// or the formula's row comes with another.
bool SetRows(const Bands& taken, StructuredReference* out) {
  const std::array<bool, 3>& bands = taken.rows;
  const auto first = std::find(bands.begin(), bands.end(), true);
  out->this_row = taken.this_row;
  if (first == bands.end()) return true;  // columns only: the data rows
  if (taken.this_row) return false;
  const auto last = std::find(bands.rbegin(), bands.rend(), true).base() - 1;
  if (std::find(first, last, false) != last) return false;
  out->first_rows = static_cast<TableRows>(first - bands.begin());
  out->last_rows = static_cast<TableRows>(last - bands.begin());
  return true;
}

bool ApplyItems(const std::vector<std::pair<Item, char>>& items, StructuredReference* out) {
  Bands bands;
  std::vector<std::string> columns;
  bool range = false;
  for (const auto& [item, separator] : items) {
    if (item.keyword) {
      if (separator == ':' || !AddKeyword(item.text, &bands)) return false;
    } else {
      columns.push_back(item.text);
      range = range || separator == ':';
    }
  }
  if (columns.size() > 2 || (columns.size() == 2) != range) return false;
  if (!columns.empty()) {
    out->first_column = columns.front();
    out->last_column = columns.back();
  }
  return SetRows(bands, out);
}

}  // namespace

bool ParseStructuredReference(std::string_view text, bool bare_name, StructuredReference* out) {
  if (text.size() > kMaxStructuredReferenceLength || text.empty() || !IsNameStart(text[0])) {
    return false;
  }
  const size_t bracket = text.find('[');
  const std::string_view table = text.substr(0, bracket);
  if (!std::all_of(table.begin(), table.end(), IsNameCharacter)) return false;
  StructuredReference parsed;
  parsed.table = std::string(table);
  if (bracket == std::string_view::npos) {
    if (!bare_name) return false;
    *out = std::move(parsed);
    return true;
  }
  size_t at = bracket + 1;
  std::vector<std::pair<Item, char>> items;
  if (at < text.size() && text[at] == '@') {  // "[@Col]" stands for "[[#This Row],[Col]]"
    items.emplace_back(Item{"#This Row", true}, ',');
    ++at;
  }
  if (at < text.size() && text[at] == ']') {
    ++at;
  } else if (at < text.size() && text[at] == '[') {
    if (!ReadItemList(text, &at, &items)) return false;
  } else {
    Item item;
    if (!ReadItem(text, &at, &item)) return false;
    items.emplace_back(std::move(item), ']');
  }
  if (at != text.size() || !ApplyItems(items, &parsed)) return false;
  *out = std::move(parsed);
  return true;
}

}  // namespace ovc::excel::formula
