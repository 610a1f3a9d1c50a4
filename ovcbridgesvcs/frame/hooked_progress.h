#pragma once

#include <memory>

#include "ovcbridgesvcs/frame/progress.h"
#include "ovcbridgesvcs/frame/progress_hooks.h"

namespace ovc {

// A Progress that reports through plain-function hooks; a null report hook
// goes on. A failing hook is thrown as a std::runtime_error with its text.
// Owns the hooks' context: the destructor calls their release hook.
std::shared_ptr<Progress> MakeHookedProgress(const OvcProgressHooks& hooks);

}  // namespace ovc
