#include "office/word/table.h"

#include <utility>
#include <vector>

#include "office/word/cells.h"
#include "office/word/table_edit.h"
#include "office/word/table_grid.h"

namespace ovc::word {
namespace {

// Why a row or column may not be added now; "" when it may.
std::string AddRefusal(Document& document, const Variant& before, std::string_view argument,
                       HRESULT* code) {
  if (!before.IsMissing()) {
    *code = E_NOTIMPL;
    return std::string(argument) + " is not supported: rows and columns are appended";
  }
  *code = E_ACCESSDENIED;
  return document.TextWriteRefusal();
}

// An empty cell and an empty row's end mark each take one position.
constexpr int32_t kEmptyCellLength = 1;
constexpr int32_t kRowEndLength = 1;

}  // namespace

Table::Table(ComPtr<Document> document, HeldElement table)
    : document_(std::move(document)), table_(std::move(table)) {}

HRESULT Table::Cell(int32_t row, int32_t column, IDispatch** cell) {
  const pugi::xml_node found = TableGrid(table_.Get(document_->model())).Cell(row, column);
  if (!found) {
    return Fail(DISP_E_BADINDEX, office::Describe(document_->file_name(), "table",
                                                  "no cell at row " + std::to_string(row) +
                                                      ", column " + std::to_string(column)));
  }
  *cell = MakeObject<word::Cell>(document_, HeldElement(document_->model(), found)).Detach();
  return S_OK;
}

HRESULT Table::get_Rows(IDispatch** rows) {
  *rows = MakeObject<Rows>(document_, table_).Detach();
  return S_OK;
}

HRESULT Table::get_Columns(IDispatch** columns) {
  *columns = MakeObject<Columns>(document_, table_).Detach();
  return S_OK;
}

Rows::Rows(ComPtr<Document> document, HeldElement table)
    : document_(std::move(document)), table_(std::move(table)) {}

HRESULT Rows::get_Count(int32_t* count) {
  *count = TableGrid(table_.Get(document_->model())).row_count();
  return S_OK;
}

HRESULT Rows::Add(const Variant& before_row) {
  HRESULT code = S_OK;
  std::string reason = AddRefusal(*document_, before_row, "BeforeRow", &code);
  WordDocument& model = document_->model();
  const pugi::xml_node table = table_.Get(model);
  const TextSpan before = model.SpanOf(table);
  const pugi::xml_node row = reason.empty() ? AppendRow(table, &reason) : pugi::xml_node();
  if (!row) {
    return Fail(reason.empty() ? E_ACCESSDENIED : code,
                office::Describe(document_->file_name(), "table", reason));
  }
  const TableGrid grid(table);
  const auto cells = static_cast<int32_t>(grid.cells(grid.row_count()).size());
  model.NoteReplaced(before.story, before.end, before.end,
                     before.end + cells * kEmptyCellLength + kRowEndLength);
  return S_OK;
}

Columns::Columns(ComPtr<Document> document, HeldElement table)
    : document_(std::move(document)), table_(std::move(table)) {}

HRESULT Columns::get_Count(int32_t* count) {
  *count = TableGrid(table_.Get(document_->model())).column_count();
  return S_OK;
}

HRESULT Columns::Add(const Variant& before_column) {
  HRESULT code = S_OK;
  std::string reason = AddRefusal(*document_, before_column, "BeforeColumn", &code);
  if (!reason.empty()) {
    return Fail(code, office::Describe(document_->file_name(), "table", reason));
  }
  WordDocument& model = document_->model();
  const pugi::xml_node table = table_.Get(model);
  const TableGrid grid(table);
  // Where each row's end mark is before the edit: the new cells go there.
  std::vector<TextSpan> row_ends;
  for (int32_t row = 1; row <= grid.row_count(); ++row)
    row_ends.push_back(model.SpanOf(grid.row(row)));
  std::vector<pugi::xml_node> added;
  if (!AppendColumn(table, &added, &reason)) {
    return Fail(E_ACCESSDENIED, office::Describe(document_->file_name(), "table", reason));
  }
  // From the last row up, so the positions above stay as they were.
  for (auto row = row_ends.rbegin(); row != row_ends.rend(); ++row) {
    const int32_t mark = row->end - kRowEndLength;
    model.NoteReplaced(row->story, mark, mark, mark + kEmptyCellLength);
  }
  return S_OK;
}

}  // namespace ovc::word
