#pragma once

#include <mutex>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "office/common/services.h"

namespace ovc::office {

// The class object of an office application: each creation makes a new,
// independent App (constructed from Services) with the default services.
template <class App>
class ApplicationFactory final : public ComObject<IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object != nullptr) *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateObject<App>(iid, object, DefaultServices());
  }
  HRESULT LockServer(bool) override { return S_OK; }
};

// Registers App under `clsid` and `names` in the process's class registry,
// served in-process and as a local server. Registers once per process and
// App; later calls return the first call's status.
template <class App>
HRESULT RegisterApplicationClass(const CLSID& clsid, const ClassNames& names) {
  static std::once_flag once;
  static HRESULT result = S_OK;
  std::call_once(once, [&] {
    uint32_t cookie = 0;
    result = CoRegisterClassObject(clsid, MakeObject<ApplicationFactory<App>>().get(),
                                   CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, &cookie, names);
  });
  return result;
}

}  // namespace ovc::office
