#include "office/word/cells.h"

#include <utility>

#include "office/word/range.h"
#include "office/word/table_grid.h"

namespace ovc::word {

Cells::Cells(ComPtr<Document> document, std::vector<pugi::xml_node> cells)
    : document_(std::move(document)), cells_(std::move(cells)) {}

HRESULT Cells::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(cells_.size());
  return S_OK;
}

HRESULT Cells::Item(int32_t index, IDispatch** cell) {
  if (index < 1 || index > static_cast<int32_t>(cells_.size())) {
    return Fail(DISP_E_BADINDEX, office::Describe(document_->file_name(), "Cells",
                                                  "no cell at position " + std::to_string(index) +
                                                      " of " + std::to_string(cells_.size())));
  }
  *cell = MakeObject<Cell>(document_, cells_[index - 1]).Detach();
  return S_OK;
}

Cell::Cell(ComPtr<Document> document, pugi::xml_node cell)
    : document_(std::move(document)), cell_(cell) {}

HRESULT Cell::Locate(int32_t* row, int32_t* column) {
  if (TableGrid(TableOf(cell_)).Locate(cell_, row, column)) return S_OK;
  return Fail(DISP_E_BADINDEX,
              office::Describe(document_->file_name(), "Cell", "is no longer in its table"));
}

HRESULT Cell::get_RowIndex(int32_t* row) {
  int32_t column = 0;
  return Locate(row, &column);
}

HRESULT Cell::get_ColumnIndex(int32_t* column) {
  int32_t row = 0;
  return Locate(&row, column);
}

HRESULT Cell::get_Range(IDispatch** range) {
  *range = MakeObject<Range>(document_, document_->model().SpanOf(cell_)).Detach();
  return S_OK;
}

HRESULT Cell::Select() {
  return MakeObject<Range>(document_, document_->model().SpanOf(cell_))->Select();
}

}  // namespace ovc::word
