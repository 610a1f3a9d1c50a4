#pragma once

#include <optional>
#include <string_view>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/source_location.h"

namespace ovc {

// Adds a record for the frame's failure in front of the current error chain
// (the frame's error object, or the thread's when the frame holds none; a
// foreign description is first converted by ConvertForeignError). The
// record's Desc is `text`, or when that is empty the first Desc of the
// chain, or else the system text of the frame's code ("Error while
// <activity> (<text>)" when the frame has an activity); then Activity and
// HR. A frame whose code is not a failure adds no record. The resulting
// chain becomes the description of a new error object, with the frame's
// method name (or the previous source) as source, which the frame holds and
// the thread gets as its current error object. `where`, when given, is
// traced with the failure.
void AddErrorRecord(CMethodFrame& frame, std::optional<SourceLocation> where,
                    std::wstring_view text = {});

// Replaces the frame's error with a single new record, not chained to any
// previous error: Desc (`text`, or the system text of `code` as in
// AddErrorRecord), Src (the method name), Activity, HR, File and Line from
// `where`. Sets the frame's code to `code`. The thread's error object is
// left as it is until the method exits.
void SetErrorRecord(CMethodFrame& frame, HRESULT code, std::wstring_view text,
                    const SourceLocation& where);

// A new error object whose description is the foreign error `foreign` (not
// null) written as records: one per record when it offers IErrorRecords
// (Desc = the record's description or "OLEDB Interface::{iid}"), otherwise
// one (Desc = its description or the system text of `code`); each with the
// foreign source as Src and `code` as HR. Source and interface id are those
// of `foreign`.
ComPtr<IErrorInfo> ConvertForeignError(IErrorInfo* foreign, HRESULT code);

}  // namespace ovc
