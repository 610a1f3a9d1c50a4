#include "ovcbridgesvcs/links/link_values.h"

#include <new>
#include <string>

#include "automation/safe_array.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/message_format.h"

namespace ovc::links {

Variant CopyOrError(const Variant& value) {
  try {
    return value;
  } catch (const std::bad_alloc&) {
    return Variant::Error(E_OUTOFMEMORY);
  }
}

Variant UnwrapSingleElement(const Variant& value) {
  if (value.vt() == (VT_ARRAY | VT_VARIANT) && value.array().dimensions() == 1) {
    int32_t upper = -1;
    if (Succeeded(value.array().UpperBound(1, &upper)) && upper == 0 && value.array().size() == 1) {
      return CopyOrError(value.array().data()[0]);
    }
  }
  return CopyOrError(value);
}

bool HoldsError(const Variant& value) {
  if (value.vt() == VT_ERROR) return true;
  if (value.vt() != (VT_ARRAY | VT_VARIANT)) return false;
  for (const Variant& element : value.array().data()) {
    if (element.vt() == VT_ERROR) return true;
  }
  return false;
}

}  // namespace ovc::links
