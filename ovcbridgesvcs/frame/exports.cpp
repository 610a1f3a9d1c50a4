// The entry points of libovcbridgesvcs.so, the only symbols it exports.
#include <dlfcn.h>

#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "automation/error_info.h"
#include "automation/hresult.h"
#include "automation/registry_store.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/frame/server_registration.h"

#define OVC_EXPORT __attribute__((visibility("default")))

namespace {

// The full path of the file this library was loaded from, or nothing.
std::wstring ModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  std::error_code error;
  const std::filesystem::path path = std::filesystem::canonical(info.dli_fname, error);
  return ovc::FromUtf8(error ? std::string(info.dli_fname) : path.string());
}

// Runs an entry point's work; no exception leaves the library.
template <class Work>
ovc::HRESULT Guarded(Work&& work) noexcept {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return ovc::E_OUTOFMEMORY;
  } catch (...) {
    return ovc::E_FAIL;
  }
}

// Registers or unregisters the library found at its own path.
template <class Registration>
ovc::HRESULT RunRegistration(Registration registration) {
  return Guarded([&] {
    const std::wstring path = ModulePath();
    if (path.empty()) {
      return ovc::SetErrorResult(ovc::E_FAIL, L"The path of the library is unknown",
                                 L"OVCBridgeSvcs");
    }
    return registration(ovc::RegistryStore::Current(), path);
  });
}

}  // namespace

extern "C" {

OVC_EXPORT ovc::HRESULT DllGetClassObject(const ovc::CLSID& clsid, const ovc::IID& iid,
                                          void** object) {
  return Guarded([&] { return ovc::GetLibraryClassObject(clsid, iid, object); });
}

OVC_EXPORT ovc::HRESULT DllCanUnloadNow() { return ovc::ServerModule::Instance().CanUnloadNow(); }

OVC_EXPORT ovc::HRESULT DllRegisterServer() { return RunRegistration(&ovc::RegisterServer); }

OVC_EXPORT ovc::HRESULT DllUnregisterServer() { return RunRegistration(&ovc::UnregisterServer); }

}  // extern "C"
