#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "automation/dispatch.h"

namespace ovc {

// Calls member `name` of `object` by name, the way scripts do: `args` come
// in natural order (first argument first) and are passed reversed; a
// property put (DISPATCH_PROPERTYPUT or DISPATCH_PROPERTYPUTREF in `flags`)
// passes its value, the last of `args`, as the named argument
// DISPID_PROPERTYPUT. [out] arguments are given as Variant::ByRef.
//
// Success: the member's success code, with its value in `*result` when
// `result` is given. Failure: E_POINTER for a null object,
// DISP_E_UNKNOWNNAME for a name the object does not have, otherwise what
// Invoke returned. On failure `*error` (when given) holds the code, and the
// description and source the object's error object carried, or the
// system's text for the code when the object gave no description;
// `*arg_error` (when given) the position of a refused argument, counted
// in reversed order as Invoke counts it.
//
// The caller keeps `object`, `result`, `error` and `arg_error`; `args` are
// consumed.
HRESULT CallByName(IDispatch* object, std::wstring_view name, uint16_t flags,
                   std::vector<Variant> args = {}, Variant* result = nullptr,
                   EXCEPINFO* error = nullptr, uint32_t* arg_error = nullptr);

}  // namespace ovc
