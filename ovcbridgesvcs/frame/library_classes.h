#pragma once

#include <string>

#include "automation/guid.h"
#include "automation/type_info.h"

namespace ovc {

// The library's type library (OVCBridgeSvcs 380.0), with its eight classes.
const TypeLibraryInfo& LibraryTypeInfo();

// The class of the type library with identifier `clsid`, or null.
const CoclassInfo* FindLibraryClass(const CLSID& clsid);

// The version-independent ProgID of a class: "OVCBridgeSvcs.Bridge".
std::wstring ProgId(const CoclassInfo& coclass);

// The ProgID with the major version: "OVCBridgeSvcs.Bridge.380".
std::wstring VersionedProgId(const CoclassInfo& coclass);

}  // namespace ovc
