#pragma once

#include "automation/hresult.h"

namespace ovc::orvan {

// Registers a class object in this process for every class of the host's
// type library, findable by the ProgIDs "Orvan.<Class>" and
// "Orvan.<Class>.<major version>". Runs once per process: later calls
// return the first call's result. E_UNEXPECTED when a class of the type
// library has no implementation; otherwise the registry's failure.
HRESULT RegisterOrvanClasses();

}  // namespace ovc::orvan
