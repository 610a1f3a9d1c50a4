#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "automation/hresult.h"
#include "ovcbridgesvcs/frame/message_format.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/source_location.h"

namespace ovc {

// Raises the frame's failure: sets the frame's code to `code` when given
// (E_FAIL when the frame's code is then no failure, so that a raised error
// never reads as success), adds a record with `text` to the frame's error
// (AddErrorRecord) and throws OVComException with the frame's code and
// error object and the location `where`.
[[noreturn]] void RaiseErrorText(CMethodFrame& frame, const SourceLocation& where,
                                 std::optional<HRESULT> code, std::wstring_view text);

// RaiseErrorText without a text: the record's Desc comes from the chain or
// the code. Pass SourceLocation::Current() as `where`.
[[noreturn]] inline void RaiseError(CMethodFrame& frame, const SourceLocation& where,
                                    std::optional<HRESULT> code = std::nullopt) {
  RaiseErrorText(frame, where, code, {});
}

// RaiseErrorText with the message template `format` filled with `args` (see
// FormatMessageText): RaiseError(frame, SourceLocation::Current(),
// E_FAIL, LoadMessage(1296), linkset, classview).
template <class... Args>
[[noreturn]] void RaiseError(CMethodFrame& frame, const SourceLocation& where,
                             std::optional<HRESULT> code, std::wstring_view format,
                             const Args&... args) {
  RaiseErrorText(frame, where, code, FormatMessageText(format, args...));
}

// CheckResult, then raises (without text) when `code` is a failure.
inline void CheckAndRaise(CMethodFrame& frame, HRESULT code,
                          const SourceLocation& where = SourceLocation::Current()) {
  if (Failed(CheckResult(frame, code))) RaiseError(frame, where);
}

}  // namespace ovc
