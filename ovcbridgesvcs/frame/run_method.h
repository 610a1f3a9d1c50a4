#pragma once

#include <type_traits>

#include "automation/hresult.h"
#include "ovcbridgesvcs/frame/com_error.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/ov_com_exception.h"
#include "ovcbridgesvcs/frame/source_location.h"

namespace ovc {

// Takes over a failure raised in a method's body. The frame keeps its own
// error when the exception carries that very object; otherwise it takes the
// exception's code and error object and, when it has a method name or an
// activity, adds a record for its method (AddErrorRecord without text).
void CatchOVComException(CMethodFrame& frame, const OVComException& exception);

// Makes the error's object (if any) the thread's current one and takes the
// failure over like an OVComException with the error's code.
void CatchComError(CMethodFrame& frame, const ComError& error);

// Takes over any other exception, being handled by the caller: traces
// "!!!! Unhandled Exception !!!!" at `where` and makes the exception the
// frame's failure, not chained to any earlier error: E_OUTOFMEMORY for
// std::bad_alloc, E_UNEXPECTED with a record naming the exception for
// anything else (StatusOfCurrentException, automation/exception_guard.h).
void CatchForeignException(CMethodFrame& frame, const SourceLocation& where) noexcept;

// Leaves the method: the frame's error object (if any) becomes the thread's
// current one; returns the frame's code.
HRESULT ExitMethod(CMethodFrame& frame) noexcept;

// Runs the body of an automation method in `frame` and returns the method's
// status; no exception leaves it. `body` takes no arguments and returns
// nothing or an HRESULT that becomes the frame's code. An OVComException or
// ComError thrown by the body becomes the frame's failure; any other
// exception, also one thrown while a failure is taken over, is handled by
// CatchForeignException.
//   HRESULT CBridge::Save() {
//     CMethodFrame frame(L"CBridge::Save");
//     return RunMethod(frame, [&] { CheckAndRaise(frame, store_->Write()); });
//   }
template <class Body>
HRESULT RunMethod(CMethodFrame& frame, Body&& body,
                  const SourceLocation& where = SourceLocation::Current()) noexcept {
  using Result = std::invoke_result_t<Body&>;
  static_assert(std::is_void_v<Result> || std::is_same_v<Result, HRESULT>,
                "a method body returns nothing or an HRESULT");
  try {
    try {
      if constexpr (std::is_void_v<Result>) {
        body();
      } else {
        frame.hr = body();
      }
    } catch (const OVComException& exception) {
      CatchOVComException(frame, exception);
    } catch (const ComError& error) {
      CatchComError(frame, error);
    }
  } catch (...) {
    CatchForeignException(frame, where);
  }
  return ExitMethod(frame);
}

}  // namespace ovc
