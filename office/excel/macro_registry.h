#pragma once

#include <functional>
#include <span>
#include <string>

#include "automation/dispatch.h"

namespace ovc::excel {

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

}  // namespace ovc::excel
