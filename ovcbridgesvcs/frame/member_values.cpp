#include "ovcbridgesvcs/frame/member_values.h"

#include <string>

#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/message_format.h"
#include "ovcbridgesvcs/frame/report_error.h"

namespace ovc {

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

HRESULT ReportOutOfRange(const CLSID& clsid, uint32_t message, int32_t index, int32_t last) {
  const std::wstring text =
      LoadMessage(message) + FormatMessageText(L" (%ld of [0..%ld])", index, last);
  return ReportError(clsid, text, IID_NULL, E_FAIL);
}

}  // namespace ovc
