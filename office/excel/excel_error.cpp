#include "office/excel/excel_error.h"

#include "automation/error_info.h"
#include "automation/text.h"

namespace ovc::excel {

HRESULT Fail(HRESULT code, const IID& iid, std::string_view description) {
  return SetErrorResult(code, FromUtf8(description), std::wstring(kErrorSource), iid);
}

std::string Describe(std::string_view file, std::string_view where, std::string_view reason) {
  std::string text(file);
  text += ": ";
  if (!where.empty()) {
    text += where;
    text += ": ";
  }
  text += reason;
  return text;
}

}  // namespace ovc::excel
