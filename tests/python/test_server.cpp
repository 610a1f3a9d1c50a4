// A server library for the Python module's tests: serves the Counter test
// object as "OVCTest.Counter" and an array reader as "OVCTest.ArrayProbe"
// through the same entry points as any server.
#include <dlfcn.h>

#include <string>
#include <vector>

#include "automation/class_registry.h"
#include "automation/registry_store.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "tests/automation/counter.h"
#include "tests/automation/value_object.h"

namespace ovc::testing {
namespace {

constexpr CLSID kArrayProbeClsid = MakeGuid("DE5A457E-1449-4F62-97B5-E885A47B9FE5");

// Reads arrays with the server's own indexing, and has no type information:
// its only member, Element(array, index, ...), is the element at those
// indices.
class ArrayProbe : public values_testing::UntypedDispatch<> {
 public:
  HRESULT GetIDsOfNames(const IID&, const std::wstring* names, uint32_t, LCID,
                        DISPID* id) override {
    *id = 1;
    return names[0] == L"Element" ? S_OK : DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID, const IID&, LCID, uint16_t, DISPPARAMS* params, Variant* result,
                 EXCEPINFO*, uint32_t*) override {
    // Arguments arrive last first: the array is the last one.
    if (params->count == 0 || !params->args[params->count - 1].IsArray()) {
      return DISP_E_TYPEMISMATCH;
    }
    const Variant& array = params->args[params->count - 1];
    std::vector<int32_t> indices;
    for (uint32_t i = params->count - 1; i-- > 0;) indices.push_back(params->args[i].i4());
    return array.array().GetElement(indices, result);
  }
};

std::wstring ModulePath() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&ModulePath), &info);
  return FromUtf8(info.dli_fname != nullptr ? info.dli_fname : "");
}

HRESULT Register(const std::wstring& prog_id, const CLSID& clsid) {
  const std::wstring root = L"HKEY_CLASSES_ROOT\\";
  RegistryStore& store = RegistryStore::Current();
  HRESULT hr = store.SetValue(root + prog_id + L"\\CLSID", L"", GuidToString(clsid));
  if (Succeeded(hr)) {
    hr = store.SetValue(root + L"CLSID\\" + GuidToString(clsid) + L"\\InprocServer32", L"",
                        ModulePath());
  }
  return hr;
}

}  // namespace
}  // namespace ovc::testing

extern "C" __attribute__((visibility("default"))) ovc::HRESULT DllGetClassObject(
    const ovc::CLSID& clsid, const ovc::IID& iid, void** object) {
  using namespace ovc::testing;
  using ovc::values_testing::ClassObject;
  if (clsid == ovc::CLSID_Counter) return ovc::CreateObject<ClassObject<Counter>>(iid, object);
  if (clsid == kArrayProbeClsid) return ovc::CreateObject<ClassObject<ArrayProbe>>(iid, object);
  return ovc::CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __attribute__((visibility("default"))) ovc::HRESULT DllRegisterServer() {
  using namespace ovc::testing;
  const ovc::HRESULT hr = Register(L"OVCTest.Counter", ovc::CLSID_Counter);
  return ovc::Failed(hr) ? hr : Register(L"OVCTest.ArrayProbe", kArrayProbeClsid);
}
