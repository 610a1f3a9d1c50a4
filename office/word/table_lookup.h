#pragma once

#include <vector>

#include <pugixml.hpp>

#include "office/word/word_document.h"

namespace ovc::word {

// The tables a span refers to (w:tbl elements, in document order): the
// innermost table holding its start; when its start is in no table, the
// outermost tables beginning inside it (none for an empty span).
std::vector<pugi::xml_node> TablesOfSpan(const WordDocument& document, const TextSpan& span);

// The reachable cells (w:tc) of the first table TablesOfSpan gives, row by
// row: the block from the row and column of the cell holding the span's
// start to those of the cell holding its last position, a start before the
// table counting as its first cell and an end past it as its last. Empty
// when the span refers to no table.
std::vector<pugi::xml_node> CellsOfSpan(const WordDocument& document, const TextSpan& span);

}  // namespace ovc::word
