#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "office/word/document.h"
#include "office/word/word.h"
#include "office/word/word_document.h"
#include "office/word/word_object.h"

namespace ovc::word {

// A live stretch of one story of an open document: it follows every edit
// (WordDocument::Track). Fails with RPC_E_DISCONNECTED once its document
// closed. Errors name `where` ("bookmark 'Total'"), else "Range".
class Range final : public WordObject<IRange> {
 public:
  Range(ComPtr<Document> document, const TextSpan& span, std::string where = "Range");
  // A read-only range over the result of a check box or drop-down form
  // field, whose Text is `shown` ("1"/"0", the selected entry).
  static ComPtr<Range> Shown(ComPtr<Document> document, const TextSpan& span, std::string where,
                             std::wstring shown);
  // The range of `bookmark`; for one over a block of table cells, Cells
  // gives only the cells of its columns.
  static ComPtr<Range> OfBookmark(ComPtr<Document> document, const BookmarkInfo& bookmark,
                                  std::string where);

  // The Selection becomes exactly this range.
  HRESULT Select() override;
  // The text as the word processor returns it (field results, "\r" for a
  // paragraph mark, "\r\a" at the end of a cell).
  HRESULT get_Text(std::wstring* text) override;
  // Replaces the content; the range then covers exactly the new text.
  // E_ACCESSDENIED while the document is protected or tracks revisions, or
  // when the range holds structure the text cannot replace; E_INVALIDARG
  // for text XML cannot carry. A failure changes nothing.
  HRESULT put_Text(const std::wstring& text) override;
  // The fields whose begin mark lies in the range.
  HRESULT get_Fields(IDispatch** fields) override;
  HRESULT get_Tables(IDispatch** tables) override;
  HRESULT get_Cells(IDispatch** cells) override;
  HRESULT get_Start(int32_t* start) override;
  HRESULT get_End(int32_t* end) override;

  Document* document() const { return document_.get(); }
  // Where the range is now.
  TextSpan span() const { return live_->span; }
  // The document's.
  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  HRESULT FailHere(HRESULT code, std::string_view reason) const;

  ComPtr<Document> document_;
  std::shared_ptr<LiveSpan> live_;
  const std::string where_;
  // Set for a range that only shows a form field's state.
  std::optional<std::wstring> shown_;
  // The 0-based cell columns of a bookmark over a block of cells.
  std::optional<std::pair<int32_t, int32_t>> columns_;
};

}  // namespace ovc::word
