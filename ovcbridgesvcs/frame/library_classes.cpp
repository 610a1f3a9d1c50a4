#include "ovcbridgesvcs/frame/library_classes.h"

#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {

const TypeLibraryInfo& LibraryTypeInfo() { return OVCBridgeSvcsTypeLibrary(); }

const CoclassInfo* FindLibraryClass(const CLSID& clsid) {
  for (const CoclassInfo* coclass : LibraryTypeInfo().coclasses) {
    if (coclass->clsid == clsid) return coclass;
  }
  return nullptr;
}

std::wstring ProgId(const CoclassInfo& coclass) {
  std::wstring prog_id(LibraryTypeInfo().name);
  return prog_id.append(L".").append(coclass.name);
}

std::wstring VersionedProgId(const CoclassInfo& coclass) {
  return ProgId(coclass) + L"." + std::to_wstring(LibraryTypeInfo().major_version);
}

}  // namespace ovc
