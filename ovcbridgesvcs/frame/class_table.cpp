#include "ovcbridgesvcs/frame/class_table.h"

#include "automation/com_object.h"
#include "ovcbridgesvcs/host/orvan.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {
namespace {

// The one place where each class's creator is plugged in once the class is
// implemented, e.g. {CLSID_Bridge, 101, &CreateObject<CBridge>}.
constexpr LibraryClass kClasses[] = {
    {CLSID_Bridge, 101, nullptr},        {CLSID_LinkSet, 102, nullptr},
    {CLSID_Link, 103, nullptr},          {CLSID_App, 104, nullptr},
    {CLSID_ExcelApp, 105, nullptr},      {CLSID_WordApp, 106, nullptr},
    {CLSID_AppCollection, 107, nullptr}, {CLSID_Orvan, 108, &CreateObject<COrvan>},
};

}  // namespace

std::span<const LibraryClass> LibraryClasses() { return kClasses; }

const LibraryClass* FindCreatableClass(const CLSID& clsid) {
  for (const LibraryClass& entry : kClasses) {
    if (entry.clsid == clsid) return &entry;
  }
  return nullptr;
}

}  // namespace ovc
