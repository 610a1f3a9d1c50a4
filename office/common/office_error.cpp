#include "office/common/office_error.h"

#include "automation/error_info.h"
#include "automation/text.h"

namespace ovc::office {

HRESULT Fail(HRESULT code, std::wstring_view source, const IID& iid, std::string_view description) {
  return SetErrorResult(code, FromUtf8(description), std::wstring(source), iid);
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

}  // namespace ovc::office
