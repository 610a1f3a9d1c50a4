#include "ovcbridgesvcs/frame/class_table.h"

#include <stdexcept>

#include "automation/text.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {

ClassTable::ClassTable() {
  for (const CoclassInfo* coclass : LibraryTypeInfo().coclasses) {
    classes_.push_back({coclass, nullptr});
  }
}

void ClassTable::Plug(const CLSID& clsid, ClassCreator create) {
  const LibraryClass* found = Find(clsid);
  if (found == nullptr || found->create != nullptr) {
    throw std::logic_error(
        "class " + ToUtf8(GuidToString(clsid)) +
        (found == nullptr ? " is not in the type library" : " is plugged in twice"));
  }
  classes_[static_cast<size_t>(found - classes_.data())].create = create;
}

const LibraryClass* ClassTable::Find(const CLSID& clsid) const {
  for (const LibraryClass& entry : classes_) {
    if (entry.coclass->clsid == clsid) return &entry;
  }
  return nullptr;
}

const TypeLibraryInfo& LibraryTypeInfo() { return OVCBridgeSvcsTypeLibrary(); }

const ClassTable& LibraryClasses() {
  static const ClassTable table = [] {
    ClassTable plugged;
    PlugLibraryClasses(plugged);
    return plugged;
  }();
  return table;
}

std::wstring ProgId(const CoclassInfo& coclass) {
  std::wstring prog_id(LibraryTypeInfo().name);
  return prog_id.append(L".").append(coclass.name);
}

std::wstring VersionedProgId(const CoclassInfo& coclass) {
  return ProgId(coclass) + L"." + std::to_wstring(LibraryTypeInfo().major_version);
}

}  // namespace ovc
