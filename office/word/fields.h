#pragma once

#include <memory>

#include "office/word/document.h"
#include "office/word/word.h"
#include "office/word/word_document.h"
#include "office/word/word_object.h"

namespace ovc::word {

class Range;

// The fields whose begin mark lies in a live span of a document (nested ones
// included, in document order), or in its whole main story. Listed afresh
// on every call, so it follows the document's edits.
class Fields final : public WordObject<IFields> {
 public:
  // `scope` null means the whole main story.
  Fields(ComPtr<Document> document, std::shared_ptr<LiveSpan> scope);

  HRESULT get_Count(int32_t* count) override;
  // The field at a 1-based index; DISP_E_BADINDEX when there is none.
  HRESULT Item(int32_t index, IDispatch** field) override;
  // Sets every REF field's result to its bookmark's text; *failed is 0, or
  // the 1-based index of the first REF field whose bookmark is missing.
  HRESULT Update(int32_t* failed) override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  TextSpan Scope() const;

  ComPtr<Document> document_;
  std::shared_ptr<LiveSpan> scope_;
};

// One field of a document; it follows the edits until its begin mark goes.
class Field final : public WordObject<IField> {
 public:
  Field(ComPtr<Document> document, const FieldInfo& field);

  // A Range over the field's result (between its separate and end marks);
  // for a check box or drop-down form field a read-only one whose Text is
  // "1"/"0" or the selected entry. DISP_E_BADINDEX once the field is no
  // longer in the document.
  HRESULT get_Result(IDispatch** range) override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  ComPtr<Range> ResultOf(const FieldInfo& field) const;

  ComPtr<Document> document_;
  std::shared_ptr<LiveSpan> span_;
};

}  // namespace ovc::word
