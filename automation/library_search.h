#pragma once

#include <string>

namespace ovc {

// The full path of the shared library `name` in the first folder that the
// dynamic loader searches for the dependencies of the loaded module `module`
// (a dlopen handle): its run path among them, with $ORIGIN expanded, so that
// a program or module finds what was built or installed beside it. Gives
// `name` itself when no folder holds it. Looking here rather than leaving it
// to dlopen keeps it right when a sanitizer's dlopen, which searches from its
// own library, stands in.
std::string FindAlongSearchPath(void* module, const char* name);

}  // namespace ovc
