#pragma once

#include "automation/class_registry.h"
#include "ovcbridgesvcs/frame/class_table.h"

namespace ovc {

// The class object of `entry`, which makes instances with its creator. It
// counts as an object of the library (see ModuleLock) and so does each
// LockServer(true) until its LockServer(false). CreateInstance answers
// CLASS_E_NOAGGREGATION for a non-null outer object, and
// CLASS_E_CLASSNOTAVAILABLE, with an error object saying so, while the
// class has no creator; a C++ exception of the creator ends as its status
// (GuardedCall, automation/exception_guard.h).
ComPtr<IClassFactory> CreateClassFactory(const LibraryClass& entry);

// The class object of creatable class `clsid` (LibraryClasses) as interface
// `iid` in *object: what DllGetClassObject returns. CLASS_E_CLASSNOTAVAILABLE
// for any other class, E_POINTER when `object` is null.
HRESULT GetLibraryClassObject(const CLSID& clsid, const IID& iid, void** object);

}  // namespace ovc
