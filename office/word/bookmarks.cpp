#include "office/word/bookmarks.h"

#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"
#include "office/word/range.h"

namespace ovc::word {

std::string BookmarkWhere(std::wstring_view name) { return "bookmark '" + ToUtf8(name) + "'"; }

Bookmarks::Bookmarks(ComPtr<Document> document) : document_(std::move(document)) {}

HRESULT Bookmarks::get_Count(int32_t* count) {
  *count = document_->model().visible_bookmark_count();
  return S_OK;
}

HRESULT Bookmarks::Item(const Variant& index, IDispatch** bookmark) {
  const Variant value = index.Dereferenced();
  const WordDocument& model = document_->model();
  BookmarkInfo found;
  std::string where;
  if (value.vt() == VT_BSTR) {
    where = BookmarkWhere(value.bstr());
    if (model.FindBookmark(value.bstr(), &found)) {
      *bookmark = MakeObject<Bookmark>(document_, found.name).Detach();
      return S_OK;
    }
  } else {
    Variant position;
    if (Failed(VariantChangeType(&position, value, 0, VT_I4))) {
      return Fail(DISP_E_TYPEMISMATCH,
                  office::Describe(document_->file_name(), "Bookmarks",
                                   "the index is neither a position nor a name"));
    }
    where = "bookmark " + std::to_string(position.i4());
    if (model.VisibleBookmark(position.i4() - 1, &found)) {
      *bookmark = MakeObject<Bookmark>(document_, found.name).Detach();
      return S_OK;
    }
  }
  return Fail(DISP_E_BADINDEX, office::Describe(document_->file_name(), where, "not found"));
}

HRESULT Bookmarks::TargetOf(const Variant& range, TextSpan* span) const {
  if (range.IsMissing()) {
    if (document_->application().Selection(span) != document_.get()) *span = TextSpan{};
    return S_OK;
  }
  const Variant value = range.Dereferenced();
  auto* given = value.vt() == VT_DISPATCH ? dynamic_cast<Range*>(value.dispatch()) : nullptr;
  if (given == nullptr) return DISP_E_TYPEMISMATCH;
  if (given->document() != document_.get()) return E_INVALIDARG;
  *span = given->span();
  return S_OK;
}

HRESULT Bookmarks::Add(const std::wstring& name, const Variant& range, IDispatch** bookmark) {
  const std::string where = BookmarkWhere(name);
  TextSpan span;
  if (const HRESULT hr = TargetOf(range, &span); Failed(hr)) {
    return Fail(hr, office::Describe(document_->file_name(), where,
                                     "Range is not a range of this document"));
  }
  if (document_->protection_type() != kNoProtection) {
    return Fail(E_ACCESSDENIED,
                office::Describe(document_->file_name(), where, "the document is protected"));
  }
  std::string reason;
  if (const HRESULT hr = document_->model().AddBookmark(name, span, &reason); Failed(hr)) {
    return Fail(hr, office::Describe(document_->file_name(), where, reason));
  }
  *bookmark = MakeObject<Bookmark>(document_, name).Detach();
  return S_OK;
}

Bookmark::Bookmark(ComPtr<Document> document, std::wstring name)
    : document_(std::move(document)), name_(std::move(name)) {}

std::string Bookmark::Where() const { return BookmarkWhere(name_); }

HRESULT Bookmark::Find(BookmarkInfo* bookmark) const {
  if (document_->model().FindBookmark(name_, bookmark)) return S_OK;
  return Fail(DISP_E_BADINDEX, office::Describe(document_->file_name(), Where(), "not found"));
}

HRESULT Bookmark::get_Name(std::wstring* name) {
  BookmarkInfo found;
  if (const HRESULT hr = Find(&found); Failed(hr)) return hr;
  *name = found.name;
  return S_OK;
}

HRESULT Bookmark::get_Range(IDispatch** range) {
  BookmarkInfo found;
  if (const HRESULT hr = Find(&found); Failed(hr)) return hr;
  *range = Range::OfBookmark(document_, found, Where()).Detach();
  return S_OK;
}

HRESULT Bookmark::Delete() {
  BookmarkInfo found;
  if (const HRESULT hr = Find(&found); Failed(hr)) return hr;
  if (document_->protection_type() != kNoProtection) {
    return Fail(E_ACCESSDENIED,
                office::Describe(document_->file_name(), Where(), "the document is protected"));
  }
  document_->model().DeleteBookmark(name_);
  return S_OK;
}

}  // namespace ovc::word
