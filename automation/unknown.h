#pragma once

#include <cstdint>

#include "automation/guid.h"
#include "automation/hresult.h"

namespace ovc {

// The root of every interface. Each interface type names its identifier as
// kIid and its base interface as Base, from which QueryInterface is derived
// (see ComObject).
struct IUnknown {
  static constexpr IID kIid = MakeGuid("00000000-0000-0000-C000-000000000046");

  // On success stores an AddRef'd pointer to the interface `iid` in *object
  // and returns S_OK; otherwise stores null and returns E_NOINTERFACE
  // (E_POINTER when object is null).
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  // Return the new reference count, for diagnostics only.
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

}  // namespace ovc
