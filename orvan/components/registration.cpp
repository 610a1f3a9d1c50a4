#include "orvan/components/registration.h"

#include <mutex>
#include <string>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "automation/error_info.h"
#include "orvan/components/attribute.h"
#include "orvan/components/cache.h"
#include "orvan/components/case_list.h"
#include "orvan/components/class_view.h"
#include "orvan/components/data_service_call.h"
#include "orvan/components/field_formatter.h"
#include "orvan/components/file_service.h"
#include "orvan/components/governing_case_service.h"
#include "orvan/components/object_list.h"
#include "orvan/components/quantity_type.h"
#include "orvan/components/unit.h"
#include "orvan/components/units.h"
#include "orvan/components/workspace.h"
#include "orvan/orvan.h"

namespace ovc::orvan {

namespace {

using Creator = HRESULT (*)(const IID& iid, void** object);

template <class T>
HRESULT Create(const IID& iid, void** object) {
  return CreateObject<T>(iid, object);
}

// The implementation of each class; names and versions come from the type
// library.
struct Implementation {
  CLSID clsid;
  Creator create;
};

constexpr Implementation kImplementations[] = {
    {CLSID_Workspace, Create<components::Workspace>},
    {CLSID_Cache, Create<components::Cache>},
    {CLSID_DataServiceCall, Create<components::DataServiceCall>},
    {CLSID_ClassView, Create<components::ClassView>},
    {CLSID_Attribute, Create<components::Attribute>},
    {CLSID_QuantityType, Create<components::QuantityType>},
    {CLSID_Units, Create<components::Units>},
    {CLSID_Unit, Create<components::Unit>},
    {CLSID_FieldFormatter, Create<components::FieldFormatter>},
    {CLSID_CaseList, Create<components::CaseList>},
    {CLSID_GoverningCase, Create<components::GoverningCaseService>},
    {CLSID_ObjectList, Create<components::ObjectList>},
    {CLSID_FileService, Create<components::FileService>},
};

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  explicit ClassFactory(Creator create) : create_(create) {}

  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return create_(iid, object);
  }
  HRESULT LockServer(bool) override { return S_OK; }

 private:
  Creator create_;
};

Creator FindCreator(const CLSID& clsid) {
  for (const Implementation& implementation : kImplementations) {
    if (implementation.clsid == clsid) return implementation.create;
  }
  return nullptr;
}

HRESULT RegisterClass(const CoclassInfo& coclass, uint16_t major_version) {
  Creator create = FindCreator(coclass.clsid);
  if (create == nullptr) {
    return SetErrorResult(
        E_UNEXPECTED, L"The host class " + std::wstring(coclass.name) + L" has no implementation.",
        L"Orvan");
  }
  const std::wstring prog_id = L"Orvan." + std::wstring(coclass.name);
  uint32_t cookie = 0;
  return CoRegisterClassObject(
      coclass.clsid, MakeObject<ClassFactory>(create).get(), CLSCTX_INPROC_SERVER, &cookie,
      {prog_id, prog_id + L"." + std::to_wstring(major_version), std::wstring(coclass.help)});
}

HRESULT RegisterAll() {
  const TypeLibraryInfo& library = OrvanHostTypeLibrary();
  for (const CoclassInfo* coclass : library.coclasses) {
    if (HRESULT hr = RegisterClass(*coclass, library.major_version); Failed(hr)) return hr;
  }
  return S_OK;
}

}  // namespace

HRESULT RegisterOrvanClasses() {
  static std::once_flag once;
  static HRESULT result = S_OK;
  std::call_once(once, [] { result = RegisterAll(); });
  return result;
}

}  // namespace ovc::orvan
