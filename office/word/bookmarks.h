#pragma once

#include <string>

#include "office/word/document.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

// The bookmarks of every story of a document. Count and Item by position
// list the visible ones (names not starting with "_") sorted by name without
// regard to case; Item by name reaches hidden ones too.
class Bookmarks final : public WordObject<IBookmarks> {
 public:
  explicit Bookmarks(ComPtr<Document> document);

  HRESULT get_Count(int32_t* count) override;
  // By 1-based position or by name without regard to case; DISP_E_BADINDEX
  // when there is no such bookmark, DISP_E_TYPEMISMATCH for another index.
  HRESULT Item(const Variant& index, IDispatch** bookmark) override;
  // Creates the bookmark over Range (a Range of this document; missing: the
  // selection when it is in this document, else the document's start) or
  // moves the one of that name. E_INVALIDARG for a name that is not 1-40
  // letters, digits and "_" starting with a letter, or another document's
  // Range; E_ACCESSDENIED while the document is protected or when the range
  // cannot hold the marks.
  HRESULT Add(const std::wstring& name, const Variant& range, IDispatch** bookmark) override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  HRESULT TargetOf(const Variant& range, TextSpan* span) const;

  ComPtr<Document> document_;
};

// One bookmark, found by its name on every call; once deleted, every
// member fails with DISP_E_BADINDEX.
class Bookmark final : public WordObject<IBookmark> {
 public:
  Bookmark(ComPtr<Document> document, std::wstring name);

  // The name as stored.
  HRESULT get_Name(std::wstring* name) override;
  // A live Range from the start mark to the end mark.
  HRESULT get_Range(IDispatch** range) override;
  // Removes the start and end marks, the text kept. E_ACCESSDENIED while the
  // document is protected.
  HRESULT Delete() override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  HRESULT Find(BookmarkInfo* bookmark) const;
  std::string Where() const;

  ComPtr<Document> document_;
  const std::wstring name_;
};

// "bookmark 'Name'", naming a bookmark in error descriptions.
std::string BookmarkWhere(std::wstring_view name);

}  // namespace ovc::word
