#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "automation/hresult.h"

namespace ovc {

// The attributes of each Bridge element of a "ListBridges" response, in the
// order the list gives them.
// LockedBy is the user holding the bridge's lock, empty when none does.
inline constexpr std::array<std::wstring_view, 8> kBridgeListAttributes = {
    L"OID",        L"Name",         L"CreatedBy",   L"DateCreated",
    L"ModifiedBy", L"DateModified", L"Description", L"LockedBy"};

// Reads a "ListBridges" response: for every Bridge element, in document
// order, the values of its kBridgeListAttributes as the host wrote them,
// appended to *texts. Returns S_OK; E_POINTER when an element lacks one of
// the attributes; E_FAIL when the response is not XML; the DOM's failure
// otherwise. On failure *texts is left as it was.
HRESULT ReadBridgeList(std::wstring_view response, std::vector<std::wstring>* texts);

}  // namespace ovc
