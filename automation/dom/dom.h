#pragma once

#include "automation/com_ptr.h"
#include "automation/dom/msxml.h"

namespace ovc {

// Makes the XML document class creatable by name: registers its class object
// in the process under CLSID_DOMDocument60 with the ProgIDs
// "Msxml2.DOMDocument.6.0" and "Msxml2.DOMDocument" (whose current version
// it is). Registering again does nothing; the registration lasts as long as
// the process.
void RegisterDomClasses();

// A new, empty XML document in *document. E_POINTER when `document` is null,
// E_OUTOFMEMORY when memory ran out.
HRESULT CreateDomDocument(ComPtr<IXMLDOMDocument>* document);

}  // namespace ovc
