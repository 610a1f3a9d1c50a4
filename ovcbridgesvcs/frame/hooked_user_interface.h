#pragma once

#include <memory>

#include "ovcbridgesvcs/frame/user_interface.h"
#include "ovcbridgesvcs/frame/user_interface_hooks.h"

namespace ovc {

// A UserInterface that asks through plain-function hooks: a null hook, or
// one that answers out of range, gets the default's answer. Owns the
// hooks' context: the destructor calls their release hook.
std::shared_ptr<UserInterface> MakeHookedUserInterface(const OvcUserInterfaceHooks& hooks);

}  // namespace ovc
