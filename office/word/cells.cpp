#include "office/word/cells.h"

#include <utility>

#include "office/word/range.h"
#include "office/word/table_grid.h"

namespace ovc::word {

Cells::Cells(ComPtr<Document> document, const std::vector<pugi::xml_node>& cells)
    : document_(std::move(document)) {
  for (pugi::xml_node cell : cells) cells_.emplace_back(document_->model(), cell);
}

HRESULT Cells::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(cells_.size());
  return S_OK;
}

HRESULT Cells::Item(int32_t index, IDispatch** cell) {
  const office::LookupError error = document_->CheckHeld(cells_, index, "Cells", "cell");
  if (Failed(error.code)) return Fail(error.code, error.description);
  *cell = MakeObject<Cell>(document_, cells_[index - 1]).Detach();
  return S_OK;
}

Cell::Cell(ComPtr<Document> document, HeldElement cell)
    : document_(std::move(document)), cell_(std::move(cell)) {}

TextSpan Cell::Span() const { return document_->model().SpanOf(cell_.Get(document_->model())); }

HRESULT Cell::Locate(int32_t* row, int32_t* column) {
  const pugi::xml_node cell = cell_.Get(document_->model());
  if (LocateCell(cell, document_->model().NamesOf(cell), row, column)) return S_OK;
  return Fail(DISP_E_BADINDEX,
              office::Describe(document_->file_name(), "Cell", "is no longer in its table"));
}

HRESULT Cell::get_RowIndex(int32_t* row) { return Locate(row, nullptr); }

HRESULT Cell::get_ColumnIndex(int32_t* column) { return Locate(nullptr, column); }

HRESULT Cell::get_Range(IDispatch** range) {
  *range = MakeObject<Range>(document_, Span()).Detach();
  return S_OK;
}

HRESULT Cell::Select() { return MakeObject<Range>(document_, Span())->Select(); }

}  // namespace ovc::word
