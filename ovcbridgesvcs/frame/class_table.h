#pragma once

#include <cstdint>
#include <span>

#include "automation/guid.h"
#include "automation/hresult.h"

namespace ovc {

// Makes a new instance of a class and stores its interface `iid`, AddRef'd,
// in *object (null on failure). ovc::CreateObject<CBridge> (com_object.h)
// is one.
using ClassCreator = HRESULT (*)(const IID& iid, void** object);

// A creatable class of the library.
struct LibraryClass {
  CLSID clsid;
  // The resource number of the class's registry script.
  uint32_t registry_script = 0;
  // Null while the class has no implementation: its factory then refuses to
  // make instances.
  ClassCreator create = nullptr;
};

// The eight creatable classes, in the order they are registered.
std::span<const LibraryClass> LibraryClasses();

// The creatable class with identifier `clsid`, or null.
const LibraryClass* FindCreatableClass(const CLSID& clsid);

}  // namespace ovc
