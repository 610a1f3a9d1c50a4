#pragma once

#include "automation/class_registry.h"
#include "ovcbridgesvcs/frame/class_table.h"

namespace ovc {

// A class object that makes instances with `create`. It counts as an object
// of the library (see ModuleLock) and so does each LockServer(true) until
// its LockServer(false). CreateInstance answers CLASS_E_NOAGGREGATION for a
// non-null outer object and CLASS_E_CLASSNOTAVAILABLE when `create` is null.
ComPtr<IClassFactory> CreateClassFactory(ClassCreator create);

// The class object of creatable class `clsid` as interface `iid` in
// *object: what DllGetClassObject returns. CLASS_E_CLASSNOTAVAILABLE for any
// other class, E_POINTER when `object` is null.
HRESULT GetLibraryClassObject(const CLSID& clsid, const IID& iid, void** object);

}  // namespace ovc
