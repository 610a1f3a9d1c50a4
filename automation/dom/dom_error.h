#pragma once

#include <string>

#include "automation/hresult.h"

namespace ovc::dom {

// The source named in the error objects of the document object model.
inline constexpr wchar_t kDomErrorSource[] = L"Msxml2.DOMDocument.6.0";

// Sets an error object with `description` as the thread's current one and
// returns `code`: the way every failing DOM member reports why.
HRESULT DomError(HRESULT code, std::wstring description);

}  // namespace ovc::dom
