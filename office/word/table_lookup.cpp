#include "office/word/table_lookup.h"

#include <algorithm>

#include "office/word/table_grid.h"
#include "office/word/word_markup.h"

namespace ovc::word {
namespace {

// The tables of `document`'s story beginning in `span`, not looking into
// tables or paragraphs (whose tables belong to other stories).
std::vector<pugi::xml_node> TablesBeginningIn(const WordDocument& document, const TextSpan& span) {
  std::vector<pugi::xml_node> found;
  const pugi::xml_node root = document.story_root(span.story);
  const WordNames* names = document.NamesOf(root);
  const auto is = [names](pugi::xml_node node, std::string_view local) {
    return names != nullptr ? names->Is(node, local) : IsWord(node, local);
  };
  std::vector<pugi::xml_node> pending = {root.first_child()};
  while (!pending.empty()) {
    pugi::xml_node node = pending.back();
    pending.pop_back();
    for (; node; node = node.next_sibling()) {
      if (node.type() != pugi::node_element || is(node, "p")) continue;
      if (!is(node, "tbl")) {
        pending.push_back(node.next_sibling());
        pending.push_back(node.first_child());
        break;
      }
      const TextSpan table = document.SpanOf(node);
      if (table.story == span.story && table.start >= span.start && table.start < span.end) {
        found.push_back(node);
      }
    }
  }
  return found;
}

// The cell of `table` holding `node` (nested tables looked through); empty
// when there is none.
pugi::xml_node CellOf(pugi::xml_node table, pugi::xml_node node) {
  for (; node; node = node.parent()) {
    if (IsWord(node, "tc") && TableOf(node) == table) return node;
  }
  return {};
}

// The row and column of the cell of `table` at `position`; a row's end mark
// counts as its last cell.
bool LocateAt(const WordDocument& document, const TableGrid& grid, pugi::xml_node table,
              const TextSpan& at, int32_t* row, int32_t* column) {
  const pugi::xml_node cell = CellOf(table, document.InnermostAt(at.story, at.start, "tc"));
  if (cell) return grid.Locate(cell, row, column);
  const pugi::xml_node tr = document.InnermostAt(at.story, at.start, "tr");
  for (*row = 1; *row <= grid.row_count(); ++*row) {
    if (grid.row(*row) == tr) {
      *column = static_cast<int32_t>(grid.cells(*row).size());
      return *column > 0;
    }
  }
  return false;
}

}  // namespace

std::vector<pugi::xml_node> TablesOfSpan(const WordDocument& document, const TextSpan& span) {
  const pugi::xml_node table = document.InnermostAt(span.story, span.start, "tbl");
  if (table) return {table};
  // No table begins inside a paragraph of the story.
  const pugi::xml_node paragraph = document.InnermostAt(span.story, span.start, "p");
  if (paragraph && span.end <= document.SpanOf(paragraph).end) return {};
  return TablesBeginningIn(document, span);
}

std::vector<pugi::xml_node> CellsOfSpan(const WordDocument& document, const TextSpan& span) {
  const std::vector<pugi::xml_node> tables = TablesOfSpan(document, span);
  if (tables.empty()) return {};
  const pugi::xml_node table = tables.front();
  const WordNames* names = document.NamesOf(table);
  const int32_t end = std::max(span.start, span.end - 1);
  // A span inside one cell gives that cell, found without the whole grid.
  const pugi::xml_node only = CellOf(table, document.InnermostAt(span.story, span.start, "tc"));
  if (only && only == CellOf(table, document.InnermostAt(span.story, end, "tc"))) {
    if (!LocateCell(only, names, nullptr, nullptr) || ContinuesVerticalMerge(only)) return {};
    return {only};
  }
  const TableGrid grid(table, names);
  const TextSpan whole = document.SpanOf(table);
  int32_t first_row = 1, first = 1;
  int32_t last_row = grid.row_count(), last = grid.column_count();
  if (span.start >= whole.start &&
      !LocateAt(document, grid, table, {span.story, span.start, span.start}, &first_row, &first)) {
    return {};
  }
  if (end < whole.end &&
      !LocateAt(document, grid, table, {span.story, end, end}, &last_row, &last)) {
    return {};
  }
  if (first > last) std::swap(first, last);
  std::vector<pugi::xml_node> cells;
  for (int32_t row = first_row; row <= last_row; ++row) {
    for (int32_t column = first; column <= last; ++column) {
      if (const pugi::xml_node cell = grid.Cell(row, column)) cells.push_back(cell);
    }
  }
  return cells;
}

}  // namespace ovc::word
