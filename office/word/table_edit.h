#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace ovc::word {

// The most columns a table may have.
inline constexpr int32_t kMaxTableColumns = 63;

// Appends an empty row to `table` (a w:tbl) cloning the last row's
// formatting: its w:tblPrEx and w:trPr, and for each cell its w:tcPr
// without w:vMerge and one empty paragraph with the first paragraph's w:pPr
// (marked with the first run's w:rPr when the mark has none); no bookmarks,
// fields or nested tables. Returns the new w:tr; empty with *reason when the
// table has no row.
pugi::xml_node AppendRow(pugi::xml_node table, std::string* reason);

// Appends an empty column: to each row a clone of its last cell (as
// AppendRow clones cells) and to w:tblGrid a w:gridCol as wide as the last.
// *added gets the new w:tc elements, top to bottom. False with *reason,
// nothing changed, when the table has no row, already has kMaxTableColumns
// columns or has horizontally merged cells.
bool AppendColumn(pugi::xml_node table, std::vector<pugi::xml_node>* added, std::string* reason);

}  // namespace ovc::word
