#pragma once

#include "office/word/word_document.h"

namespace ovc::word {

// Puts every legacy form field of every story back to its w:ffData default,
// as protecting a document for forms does: a text field shows its default
// text (five en spaces when it has none), a check box and a drop-down drop
// their own state (w:checked, w:result) so that their defaults apply. A
// result that cannot be written is left as it was.
void ResetFormFields(WordDocument& document);

}  // namespace ovc::word
