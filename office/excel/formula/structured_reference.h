#pragma once

#include <string>
#include <string_view>

namespace ovc::excel::formula {

// The rows of a table a structured reference takes, as a span of its three
// row bands: header row, data rows, totals row.
enum class TableRows { kHeaders, kData, kTotals };

// A reference to cells of a table by the table's name: "Table1[Col]",
// "Table1[[Col]]", "Table1[[Col1]:[Col2]]", "Table1[#All]",
// "Table1[[#Headers],[#Data],[Col]]", "Table1[]" and "Table1" (the data
// rows); in formulas also "Table1[[#This Row],[Col]]", written
// "Table1[@Col]" or "Table1[@[Col1]:[Col2]]" too. Column names are decoded
// ("'" escapes "[", "]", "#" and "'").
struct StructuredReference {
  std::string table;
  std::string first_column;  // "" for every column
  std::string last_column;   // equals first_column for one column
  TableRows first_rows = TableRows::kData;
  TableRows last_rows = TableRows::kData;
  // Of the data rows, only the row of the formula that reads it.
  bool this_row = false;
};

// The longest structured reference read, in bytes.
inline constexpr size_t kMaxStructuredReferenceLength = 1024;

// Reads `text` as a structured reference. `bare_name` allows "Table1" alone.
// False for anything else: no table name, unbalanced brackets, an unknown
// "#" keyword, row bands that do not touch ("[#Headers],[#Totals]"), "#This
// Row" with another band, more than two columns, text after the closing
// bracket, or too long text.
bool ParseStructuredReference(std::string_view text, bool bare_name, StructuredReference* out);

}  // namespace ovc::excel::formula
