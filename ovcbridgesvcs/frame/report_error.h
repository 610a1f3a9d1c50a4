#pragma once

#include <cstdint>
#include <string_view>

#include "automation/guid.h"
#include "automation/hresult.h"

namespace ovc {

// The direct report of an argument or state error by an object of class
// `clsid`: sets a new error object as the thread's current one, with the
// catalogue text of `message` ("Unknown Error" when there is none) as
// description, the class's versioned ProgID ("OVCBridgeSvcs.Bridge.380";
// empty for a class outside the library) as source and `iid` as interface
// id. Returns `code`, or when `code` is 0 the interface-specific code of the
// message, 0x80040000 + `message`.
HRESULT ReportError(const CLSID& clsid, uint32_t message, const IID& iid = IID_NULL,
                    HRESULT code = S_OK);

// The same with `text` as description; a `code` of 0 gives
// DISP_E_EXCEPTION.
HRESULT ReportError(const CLSID& clsid, std::wstring_view text, const IID& iid = IID_NULL,
                    HRESULT code = S_OK);

}  // namespace ovc
