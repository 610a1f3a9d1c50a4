// A server library for the Python module's tests: serves the Counter test
// object as "OVCTest.Counter" through the same entry points as any server.
#include <dlfcn.h>

#include <string>

#include "automation/class_registry.h"
#include "automation/registry_store.h"
#include "automation/text.h"
#include "tests/automation/counter.h"

namespace ovc::testing {
namespace {

class CounterFactory : public ComObject<IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateObject<Counter>(iid, object);
  }
  HRESULT LockServer(bool) override { return S_OK; }
};

std::wstring ModulePath() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&ModulePath), &info);
  return FromUtf8(info.dli_fname != nullptr ? info.dli_fname : "");
}

}  // namespace
}  // namespace ovc::testing

extern "C" __attribute__((visibility("default"))) ovc::HRESULT DllGetClassObject(
    const ovc::CLSID& clsid, const ovc::IID& iid, void** object) {
  if (clsid != ovc::CLSID_Counter) return ovc::CLASS_E_CLASSNOTAVAILABLE;
  return ovc::CreateObject<ovc::testing::CounterFactory>(iid, object);
}

extern "C" __attribute__((visibility("default"))) ovc::HRESULT DllRegisterServer() {
  using ovc::RegistryStore;
  const std::wstring clsid = ovc::GuidToString(ovc::CLSID_Counter);
  const std::wstring root = L"HKEY_CLASSES_ROOT\\";
  RegistryStore& store = RegistryStore::Current();
  ovc::HRESULT hr = store.SetValue(root + L"OVCTest.Counter\\CLSID", L"", clsid);
  if (ovc::Succeeded(hr)) {
    hr = store.SetValue(root + L"CLSID\\" + clsid + L"\\InprocServer32", L"",
                        ovc::testing::ModulePath());
  }
  return hr;
}
