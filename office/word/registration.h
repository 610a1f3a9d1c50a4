#pragma once

#include "automation/hresult.h"

namespace ovc::word {

// Registers the word processor as "Word.Application" in the process's class
// registry, served in-process and as a local server; each creation makes a
// new, independent application with the default services
// (office::SetDefaultServices). Registers once per process; later calls
// return the first call's status.
HRESULT RegisterWordClasses();

}  // namespace ovc::word
