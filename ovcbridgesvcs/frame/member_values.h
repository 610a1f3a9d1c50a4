#pragma once

#include <cstdint>
#include <utility>

#include "automation/guid.h"
#include "automation/hresult.h"
#include "automation/variant.h"

namespace ovc {

// What the members of the library's interfaces share when they hand out
// values and check positions.

// The booleans of the interfaces: VARIANT_TRUE or VARIANT_FALSE.
inline VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Stores `value` into *out; E_POINTER when `out` is null.
template <class T, class U>
HRESULT Give(T* out, const U& value) {
  if (out == nullptr) return E_POINTER;
  *out = value;
  return S_OK;
}

// Hands out a flag as VARIANT_TRUE or VARIANT_FALSE.
inline HRESULT GiveFlag(VARIANT_BOOL* out, bool flag) { return Give(out, ToVariantBool(flag)); }

// Sets a persisted `field` to `value` (moved in when given as a temporary)
// and raises `dirty` when that changes it (texts compare exactly).
template <class T, class U>
void SetPersisted(T& field, U&& value, bool& dirty) {
  if (field == value) return;
  field = std::forward<U>(value);
  dirty = true;
}

// The index a collection member takes as a variant: a VT_I2 or VT_I4, or
// nothing.
bool IndexOf(const Variant& index, int32_t* position);

// Reports catalogue message `message` followed by the range suffix
// " (index of [0..last])" for class `clsid`; returns E_FAIL.
HRESULT ReportOutOfRange(const CLSID& clsid, uint32_t message, int32_t index, int32_t last);

}  // namespace ovc
