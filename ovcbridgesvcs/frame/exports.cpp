// The entry points of libovcbridgesvcs.so, the only symbols it exports:
// the four of a server library and the hooks of the user interface and of
// the progress service.
#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "automation/error_info.h"
#include "automation/exception_guard.h"
#include "automation/hresult.h"
#include "automation/registry_store.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/frame/hooked_progress.h"
#include "ovcbridgesvcs/frame/hooked_user_interface.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/frame/server_registration.h"

#define OVC_EXPORT __attribute__((visibility("default")))

namespace {

// The source of the error objects the entry points set themselves.
constexpr std::wstring_view kSource = L"OVCBridgeSvcs";

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

// Registers or unregisters the library found at its own path.
template <class Registration>
ovc::HRESULT RunRegistration(Registration registration) {
  return ovc::GuardedCall(kSource, [&] {
    const std::wstring path = ModulePath();
    if (path.empty()) {
      return ovc::SetErrorResult(ovc::E_FAIL, L"The path of the library is unknown",
                                 std::wstring(kSource));
    }
    return registration(ovc::RegistryStore::Current(), path);
  });
}

}  // namespace

extern "C" {

OVC_EXPORT ovc::HRESULT DllGetClassObject(const ovc::CLSID& clsid, const ovc::IID& iid,
                                          void** object) {
  return ovc::GuardedCall(kSource, [&] { return ovc::GetLibraryClassObject(clsid, iid, object); });
}

OVC_EXPORT ovc::HRESULT DllCanUnloadNow() { return ovc::ServerModule::Instance().CanUnloadNow(); }

OVC_EXPORT ovc::HRESULT DllRegisterServer() { return RunRegistration(&ovc::RegisterServer); }

OVC_EXPORT ovc::HRESULT DllUnregisterServer() { return RunRegistration(&ovc::UnregisterServer); }

OVC_EXPORT int32_t OvcSetUserInterface(const OvcUserInterfaceHooks* hooks) {
  return ovc::GuardedCall(kSource, [&] {
    ovc::SetUserInterface(hooks == nullptr ? nullptr : ovc::MakeHookedUserInterface(*hooks));
    return ovc::S_OK;
  });
}

OVC_EXPORT int32_t OvcSetProgress(const OvcProgressHooks* hooks) {
  return ovc::GuardedCall(kSource, [&] {
    ovc::SetProgress(hooks == nullptr ? nullptr : ovc::MakeHookedProgress(*hooks));
    return ovc::S_OK;
  });
}

}  // extern "C"
