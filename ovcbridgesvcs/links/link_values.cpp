#include "ovcbridgesvcs/links/link_values.h"

#include <new>
#include <string>

#include "automation/safe_array.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/message_format.h"
#include "ovcbridgesvcs/frame/report_error.h"

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

bool IndexOf(const Variant& index, int32_t* position) {
  if (index.vt() == VT_I2) {
    *position = index.i2();
  } else if (index.vt() == VT_I4) {
    *position = index.i4();
  } else {
    return false;
  }
  return true;
}

HRESULT ReportNotImplemented(const CLSID& clsid, std::wstring_view member) {
  return ReportError(clsid, std::wstring(member) + L" is not available in this version", IID_NULL,
                     E_NOTIMPL);
}

HRESULT ReportOutOfRange(const CLSID& clsid, uint32_t message, int32_t index, int32_t last) {
  const std::wstring text =
      LoadMessage(message) + FormatMessageText(L" (%ld of [0..%ld])", index, last);
  return ReportError(clsid, text, IID_NULL, E_FAIL);
}

}  // namespace ovc::links
