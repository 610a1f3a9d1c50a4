#pragma once

#include <memory>
#include <string>

#include "automation/com_ptr.h"
#include "office/word/document.h"
#include "office/word/word.h"
#include "office/word/word_document.h"
#include "office/word/word_object.h"

namespace ovc::word {

// The legacy form fields of a live stretch of an open document (those whose
// begin and end marks lie inside it), in document order.
class FormFields final : public WordObject<IFormFields> {
 public:
  FormFields(ComPtr<Document> document, const TextSpan& span);

  HRESULT get_Count(int32_t* count) override;
  // By 1-based position, or by name without regard to case;
  // DISP_E_BADINDEX when absent.
  HRESULT Item(const Variant& index, IDispatch** form_field) override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  ComPtr<Document> document_;
  std::shared_ptr<LiveSpan> span_;
};

// One legacy form field; it follows the edits around it. Calls fail with
// DISP_E_BADINDEX once the field is no longer in the document.
class FormField final : public WordObject<IFormField> {
 public:
  FormField(ComPtr<Document> document, const FieldInfo& field);

  HRESULT get_Name(std::wstring* name) override;
  // True when automation may not write the result: the field is disabled,
  // or the document is protected for forms and the field is not enabled.
  HRESULT get_Locked(VARIANT_BOOL* locked) override;
  HRESULT get_Result(std::wstring* result) override;
  // Refused (E_ACCESSDENIED) for a locked field, in a document protected
  // other than for forms, or tracking revisions; E_INVALIDARG for a value
  // the field cannot take.
  HRESULT put_Result(const std::wstring& result) override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  // The field where it is now, or DISP_E_BADINDEX.
  HRESULT Lookup(FieldInfo* field);
  bool IsLocked(const FieldInfo& field) const;
  HRESULT FailHere(HRESULT code, std::string_view reason);

  ComPtr<Document> document_;
  std::shared_ptr<LiveSpan> span_;
  const std::string name_;
};

}  // namespace ovc::word
