#include "office/word/table_edit.h"

#include "office/word/table_grid.h"
#include "office/word/word_markup.h"

namespace ovc::word {
namespace {

// Gives `paragraph` the properties of `model` (a w:p, or empty), its mark
// taking the formatting of the model's first run when it has none.
void CopyParagraphFormat(pugi::xml_node paragraph, pugi::xml_node model) {
  const pugi::xml_node model_properties = WordChild(model, "pPr");
  pugi::xml_node properties =
      model_properties ? paragraph.append_copy(model_properties) : pugi::xml_node();
  const pugi::xml_node run_properties = WordChild(WordChild(model, "r"), "rPr");
  if (!run_properties || WordChild(properties, "rPr")) return;
  if (!properties) properties = AppendWordChild(paragraph, "pPr");
  pugi::xml_node before = WordChild(properties, "sectPr");
  if (!before) before = WordChild(properties, "pPrChange");
  if (before) {
    properties.insert_copy_before(run_properties, before);
  } else {
    properties.append_copy(run_properties);
  }
}

// Fills the new, empty w:tc `cell` as a clone of `model`'s formatting.
void FillLike(pugi::xml_node cell, pugi::xml_node model) {
  if (const pugi::xml_node properties = WordChild(model, "tcPr")) {
    pugi::xml_node copy = cell.append_copy(properties);
    copy.remove_child(WordChild(copy, "vMerge"));
  }
  CopyParagraphFormat(AppendWordChild(cell, "p"), WordChild(model, "p"));
}

}  // namespace

pugi::xml_node AppendRow(pugi::xml_node table, std::string* reason) {
  const TableGrid grid(table);
  const pugi::xml_node last = grid.row(grid.row_count());
  if (!last) {
    *reason = "the table has no row";
    return {};
  }
  pugi::xml_node row = last.parent().insert_child_after(last.name(), last);
  for (const char* local : {"tblPrEx", "trPr"}) {
    if (const pugi::xml_node properties = WordChild(last, local)) row.append_copy(properties);
  }
  for (const pugi::xml_node& model : grid.cells(grid.row_count())) {
    FillLike(row.append_child(model.name()), model);
  }
  return row;
}

bool AppendColumn(pugi::xml_node table, std::vector<pugi::xml_node>* added, std::string* reason) {
  const TableGrid grid(table);
  if (grid.row_count() == 0) {
    *reason = "the table has no row";
  } else if (grid.column_count() >= kMaxTableColumns) {
    *reason = "a table has at most " + std::to_string(kMaxTableColumns) + " columns";
  } else if (grid.HasHorizontalMerge()) {
    *reason = "the table has horizontally merged cells";
  } else {
    for (int32_t row = 1; row <= grid.row_count(); ++row) {
      const std::vector<pugi::xml_node>& cells = grid.cells(row);
      if (cells.empty()) continue;
      const pugi::xml_node model = cells.back();
      const pugi::xml_node cell = model.parent().insert_child_after(model.name(), model);
      FillLike(cell, model);
      added->push_back(cell);
    }
    pugi::xml_node columns = WordChild(table, "tblGrid");
    pugi::xml_node last_column;
    for (pugi::xml_node child = columns.first_child(); child; child = child.next_sibling()) {
      if (IsWord(child, "gridCol")) last_column = child;
    }
    if (last_column) columns.insert_copy_after(last_column, last_column);
    return true;
  }
  return false;
}

}  // namespace ovc::word
