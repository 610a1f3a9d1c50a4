#include "office/word/range.h"

#include <utility>
#include <vector>

#include "office/word/cells.h"
#include "office/word/fields.h"
#include "office/word/table_grid.h"
#include "office/word/table_lookup.h"
#include "office/word/tables.h"

namespace ovc::word {

Range::Range(ComPtr<Document> document, const TextSpan& span, std::string where)
    : document_(std::move(document)),
      live_(document_->model().Track(span)),
      where_(std::move(where)) {}

ComPtr<Range> Range::Shown(ComPtr<Document> document, const TextSpan& span, std::string where,
                           std::wstring shown) {
  ComPtr<Range> range = MakeObject<Range>(std::move(document), span, std::move(where));
  range->shown_ = std::move(shown);
  return range;
}

ComPtr<Range> Range::OfBookmark(ComPtr<Document> document, const BookmarkInfo& bookmark,
                                std::string where) {
  ComPtr<Range> range = MakeObject<Range>(std::move(document), bookmark.span, std::move(where));
  if (bookmark.first_column >= 0) {
    range->columns_ = std::make_pair(bookmark.first_column, bookmark.last_column);
  }
  return range;
}

HRESULT Range::FailHere(HRESULT code, std::string_view reason) const {
  return Fail(code, office::Describe(document_->file_name(), where_, reason));
}

HRESULT Range::Select() {
  document_->application().Select(document_, span());
  return S_OK;
}

HRESULT Range::get_Text(std::wstring* text) {
  *text = shown_ ? *shown_ : document_->model().Text(span());
  return S_OK;
}

HRESULT Range::put_Text(const std::wstring& text) {
  if (shown_)
    return FailHere(E_ACCESSDENIED, "the state of a form field is set through its Result");
  if (const std::string refusal = document_->TextWriteRefusal(); !refusal.empty()) {
    return FailHere(E_ACCESSDENIED, refusal);
  }
  TextSpan target = span();
  std::string reason;
  if (const HRESULT hr = document_->model().SetText(&target, text, &reason); Failed(hr)) {
    return FailHere(hr, reason);
  }
  live_->span = target;
  return S_OK;
}

HRESULT Range::get_Fields(IDispatch** fields) {
  *fields = MakeObject<Fields>(document_, live_).Detach();
  return S_OK;
}

HRESULT Range::get_Tables(IDispatch** tables) {
  *tables = MakeObject<Tables>(document_, span()).Detach();
  return S_OK;
}

HRESULT Range::get_Cells(IDispatch** cells) {
  std::vector<pugi::xml_node> found = CellsOfSpan(document_->model(), span());
  if (found.empty()) return FailHere(DISP_E_BADINDEX, "the range is not in a table");
  if (columns_) {
    const TableGrid grid(TableOf(found.front()));
    std::erase_if(found, [&](pugi::xml_node cell) {
      int32_t row = 0, column = 0;
      // Grid columns count from 1, the bookmark's from 0.
      return !grid.Locate(cell, &row, &column) || column - 1 < columns_->first ||
             column - 1 > columns_->second;
    });
  }
  *cells = MakeObject<Cells>(document_, std::move(found)).Detach();
  return S_OK;
}

HRESULT Range::get_Start(int32_t* start) {
  *start = span().start;
  return S_OK;
}

HRESULT Range::get_End(int32_t* end) {
  *end = span().end;
  return S_OK;
}

}  // namespace ovc::word
