#pragma once

#include <span>
#include <string>
#include <vector>

#include "automation/guid.h"
#include "automation/hresult.h"
#include "automation/type_info.h"

namespace ovc {

// Makes a new instance of a class and stores its interface `iid`, AddRef'd,
// in *object (null on failure). ovc::CreateObject<COrvan> (com_object.h)
// is one.
using ClassCreator = HRESULT (*)(const IID& iid, void** object);

// A creatable class of the library: its entry in the type library and what
// makes its instances, null while the class has no implementation (its
// factory then refuses to make instances).
struct LibraryClass {
  const CoclassInfo* coclass = nullptr;
  ClassCreator create = nullptr;
};

// The creatable classes keyed by class identifier: one for each class of
// the library's type library, in its order. Each subsystem plugs in the
// creators of the classes it implements.
class ClassTable {
 public:
  // Every class of the type library, none with a creator yet.
  ClassTable();

  // Makes `create` the creator of class `clsid`. A class outside the type
  // library, or one that has a creator already, is a mistake in putting the
  // library together: std::logic_error.
  void Plug(const CLSID& clsid, ClassCreator create);

  // The class with identifier `clsid`, or null.
  const LibraryClass* Find(const CLSID& clsid) const;

  std::span<const LibraryClass> classes() const { return classes_; }

 private:
  std::vector<LibraryClass> classes_;
};

// The library's type library (OVCBridgeSvcs 380.0).
const TypeLibraryInfo& LibraryTypeInfo();

// The library's classes with every subsystem's creators plugged in, made on
// first use by PlugLibraryClasses.
const ClassTable& LibraryClasses();

// Plugs the creators of every subsystem into `table`. Defined once, above
// the subsystems, by the library's top level (ovcbridgesvcs/library.cpp), so
// that frame/ knows none of them and a library without it does not link.
void PlugLibraryClasses(ClassTable& table);

// The version-independent ProgID of a class: "OVCBridgeSvcs.Bridge".
std::wstring ProgId(const CoclassInfo& coclass);

// The ProgID with the major version: "OVCBridgeSvcs.Bridge.380".
std::wstring VersionedProgId(const CoclassInfo& coclass);

}  // namespace ovc
