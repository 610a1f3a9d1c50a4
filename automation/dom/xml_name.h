#pragma once

#include <string_view>

#include "automation/hresult.h"

namespace ovc::dom {

// S_OK when `name` may name an element or attribute: a letter, "_", ":" or
// any character beyond ASCII that XML allows first, then also digits, "-" and ".".
// Otherwise E_FAIL with an error object naming the offending character.
HRESULT CheckXmlName(std::wstring_view name);

}  // namespace ovc::dom
