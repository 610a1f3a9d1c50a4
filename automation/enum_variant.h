#pragma once

#include <cstdint>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/variant.h"

namespace ovc {

// Walks a sequence of values, as collections hand out through _NewEnum.
struct IEnumVARIANT : IUnknown {
  static constexpr IID kIid = MakeGuid("00020404-0000-0000-C000-000000000046");
  using Base = IUnknown;

  // Copies up to `count` next values into out[0..count) and advances past
  // them; the number copied goes to *fetched. S_OK when `count` values were
  // copied, S_FALSE when fewer were left (elements of `out` past *fetched are
  // left untouched). E_POINTER when `out` is null and `count` is not zero, or
  // when `fetched` is null and `count` is more than one (it may be null for
  // a single value).
  virtual HRESULT Next(uint32_t count, Variant* out, uint32_t* fetched) = 0;
  // Advances past `count` values: S_OK, or S_FALSE when fewer were left (the
  // enumerator then stands at the end).
  virtual HRESULT Skip(uint32_t count) = 0;
  // Goes back to the first value. Always S_OK.
  virtual HRESULT Reset() = 0;
  // A new, independent enumerator over the same values standing at the same
  // position, AddRef'd into *clone. E_POINTER when `clone` is null.
  virtual HRESULT Clone(IEnumVARIANT** clone) = 0;

 protected:
  ~IEnumVARIANT() = default;
};

// An enumerator over a snapshot of `values`: later changes of the collection
// the values came from are not seen. Interface values stay referenced while
// any clone of the enumerator lives.
ComPtr<IEnumVARIANT> CreateVariantEnumerator(std::vector<Variant> values);

}  // namespace ovc
