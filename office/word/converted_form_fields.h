#pragma once

#include <pugixml.hpp>

namespace ovc::word {

// LibreOffice's conversion of a .doc file to .docx gives a legacy form field
// or its bookmark the name "<name>_Copy_<n>" and starts the bookmark inside
// the field code, after the field's begin mark, so that the field is no
// longer reached through its bookmark; each further conversion may add
// another copy of the bookmark there. Puts the bookmark start back before
// the field, removes the copies and gives field and bookmark their first
// name again, unless a bookmark elsewhere has taken it. Only the direct
// siblings of the field's begin run up to its next field mark are looked
// at. True when `part` (a story part) changed.
bool RepairConvertedFormFields(pugi::xml_document* part);

}  // namespace ovc::word
