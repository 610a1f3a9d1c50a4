#pragma once

#include <functional>
#include <span>
#include <string>

#include "automation/dispatch.h"

namespace ovc::office {

// A macro of the embedding program. It gets the application that runs it
// (borrowed for the call) and Run's arguments, and stores its result in
// *result. A failure status fails Run; the macro then leaves an error object
// describing it on the thread.
using Macro = std::function<HRESULT(IDispatch* application, std::span<const Variant> arguments,
                                    Variant* result)>;

// The macros of the process, found by exact, case-sensitive name. Safe to use
// from several threads.
//
// Registers `macro` under `name`, replacing a macro of that name.
void RegisterMacro(const std::wstring& name, Macro macro);
// Removes the macro `name`; false when there is none.
bool UnregisterMacro(const std::wstring& name);
// A copy of the macro `name`, or an empty function.
Macro FindMacro(const std::wstring& name);

// How many macro runs a thread may have under way one inside another (a
// macro that runs a macro, directly or through the application).
inline constexpr int kMaxMacroNesting = 64;

// Runs the registered macro named by `macro` (VT_BSTR) for `application`
// (kept alive meanwhile) with `args`, missing ones at the end left off, as
// Application.Run does; refuses to run past kMaxMacroNesting. On failure
// returns the error and sets *reason to the description the caller's error
// object takes; *reason stays empty when the macro itself left an error
// object on the thread, which then stands.
HRESULT RunMacro(IDispatch* application, const Variant& macro, std::span<const Variant* const> args,
                 Variant* result, std::string* reason);

}  // namespace ovc::office
