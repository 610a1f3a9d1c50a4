#include "ovcbridgesvcs/frame/raise_error.h"

#include "automation/text.h"
#include "ovcbridgesvcs/frame/error_chain.h"
#include "ovcbridgesvcs/frame/ov_com_exception.h"

namespace ovc {

void RaiseErrorText(CMethodFrame& frame, const SourceLocation& where, std::optional<HRESULT> code,
                    std::wstring_view text) {
  if (code) frame.hr = *code;
  if (!Failed(frame.hr)) frame.hr = E_FAIL;
  AddErrorRecord(frame, where, text);
  throw OVComException(frame.hr, frame.error, FromUtf8(where.file_name()),
                       static_cast<int32_t>(where.line()));
}

}  // namespace ovc
