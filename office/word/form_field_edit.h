#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "automation/hresult.h"
#include "office/word/word_document.h"

namespace ovc::word {

// The legacy form fields of a document (FORMTEXT, FORMCHECKBOX,
// FORMDROPDOWN; complex or w:fldSimple) as automation reads and writes them.

// The form fields whose begin and end marks both lie in `span`, in
// document order.
std::vector<FieldInfo> FormFieldsIn(const WordDocument& document, const TextSpan& span);

// The name in the field's w:ffData; "" when it has none.
std::wstring FormFieldName(const FieldInfo& field);

// A text field's result text; a check box's "1" or "0"; a drop-down's
// selected entry.
std::wstring ReadFormFieldResult(const WordDocument& document, const FieldInfo& field);

// Writes a form field's result: a text field's result becomes `text` (the
// empty text five en spaces), a check box takes "1"/"0"/"True"/"False", a
// drop-down the entry `text` names. Failure changes nothing and gives
// *reason: E_INVALIDARG for a text that is too long, no check box value or
// no listed entry, or that XML cannot carry; E_ACCESSDENIED for a field
// without form data or no longer in the document. Locking, protection and
// revision tracking are the caller's to check.
HRESULT WriteFormFieldResult(WordDocument& document, const FieldInfo& field, std::wstring_view text,
                             std::string* reason);

}  // namespace ovc::word
