#pragma once

#include <cstdint>
#include <string_view>

#include "automation/hresult.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/member_values.h"

namespace ovc::links {

// The shared member helpers, also reached as links::Give and so on.
using ::ovc::Give;
using ::ovc::GiveFlag;
using ::ovc::IndexOf;
using ::ovc::ReportOutOfRange;
using ::ovc::SetPersisted;
using ::ovc::ToVariantBool;

// A copy of `value`, or a VT_ERROR holding the failure when it cannot be
// copied.
Variant CopyOrError(const Variant& value);

// The value a Link stores for `value`: the element of a one-dimensional
// array of variants with upper bound 0, else a copy (CopyOrError).
Variant UnwrapSingleElement(const Variant& value);

// Whether `value` is a VT_ERROR or an array of variants holding one.
bool HoldsError(const Variant& value);

}  // namespace ovc::links
