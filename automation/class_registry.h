#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/com_ptr.h"
#include "automation/dispatch.h"

namespace ovc {

// The class object of a creatable class: makes its instances.
struct IClassFactory : IUnknown {
  static constexpr IID kIid = MakeGuid("00000001-0000-0000-C000-000000000046");
  using Base = IUnknown;

  // A new instance's interface `iid`, AddRef'd, in *object (null on
  // failure). CLASS_E_NOAGGREGATION for a non-null `outer` when the class
  // cannot be aggregated; E_NOINTERFACE when the instance lacks `iid`.
  virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
  // Keeps the server loaded (true) or lets it go again (false).
  virtual HRESULT LockServer(bool lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// Execution contexts in which a class may be served; a request names the
// contexts it accepts, a registration the ones it serves.
inline constexpr uint32_t CLSCTX_INPROC_SERVER = 0x1;
inline constexpr uint32_t CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr uint32_t CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr uint32_t CLSCTX_REMOTE_SERVER = 0x10;
inline constexpr uint32_t CLSCTX_SERVER =
    CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
inline constexpr uint32_t CLSCTX_ALL = CLSCTX_SERVER | CLSCTX_INPROC_HANDLER;

// The names under which a class registered in the process is found:
// "Excel.Application", "Excel.Application.16", "Microsoft Excel Application".
// Any may be empty.
struct ClassNames {
  std::wstring prog_id;
  std::wstring versioned_prog_id;
  std::wstring description;
};

// Classes come from two places, searched in this order: class objects the
// process registered itself (CoRegisterClassObject; the newest registration
// of a class wins), and the current RegistryStore under HKEY_CLASSES_ROOT:
//   <ProgID>\CLSID = "{clsid}"        <ProgID>\CurVer = "<versioned ProgID>"
//   CLSID\{clsid}\ProgID = "<versioned ProgID>"
//   CLSID\{clsid}\InprocServer32 = "<path of a shared library>"
// A shared library is loaded once per path, stays loaded, and is asked for
// the class object through its exported
//   extern "C" HRESULT DllGetClassObject(const CLSID&, const IID&, void**);
// No server process is ever started: a class with only a LocalServer32 key
// is served just when its class object is registered in the process.
//
// Every failure the functions below find themselves, except E_POINTER and
// E_INVALIDARG, also sets an error object on the thread saying what failed;
// failures of class objects and modules are passed on as they come. A C++
// exception thrown by a class object or module while CoGetClassObject or
// CoCreateInstance calls it ends there as a status with an error object
// (GuardedCall, exception_guard.h).

// Makes `factory` (usually an IClassFactory) the class object of `clsid` in
// `context` (CLSCTX_*), findable by `names`, and stores a cookie (never 0)
// for CoRevokeClassObject. The registration holds a reference to `factory`
// until revoked. E_INVALIDARG when `factory` is null or `context` names no
// context, E_POINTER when `cookie` is null.
HRESULT CoRegisterClassObject(const CLSID& clsid, IUnknown* factory, uint32_t context,
                              uint32_t* cookie, ClassNames names = {});
// Ends a registration and releases its class object. E_INVALIDARG for a
// cookie that is not registered.
HRESULT CoRevokeClassObject(uint32_t cookie);

// Interface `iid` of the class object of `clsid` served in one of `context`,
// AddRef'd into *object. REGDB_E_CLASSNOTREG when nothing serves the class
// in those contexts; CO_E_DLLNOTFOUND when its shared library cannot be
// loaded and CO_E_ERRORINDLL when it exports no DllGetClassObject (the error
// object names the path and the loader's message); otherwise what the class
// object or DllGetClassObject returned.
HRESULT CoGetClassObject(const CLSID& clsid, uint32_t context, const IID& iid, void** object);

// A new instance of `clsid` through its class factory, its interface `iid`
// AddRef'd into *object (null on failure). CLASS_E_NOAGGREGATION for a
// non-null `outer`: aggregation is not supported. Other failures as for
// CoGetClassObject or IClassFactory::CreateInstance.
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, uint32_t context, const IID& iid,
                         void** object);

// The class of a ProgID, versioned ("Excel.Application.16") or not (whose
// CurVer, when present, is followed), matched without regard to case; a
// braced class identifier "{...}" is taken as it is. CO_E_CLASSSTRING for
// anything else; REGDB_E_READREGDB when the stored CLSID is not a class
// identifier.
HRESULT CLSIDFromProgID(std::wstring_view prog_id, CLSID* clsid);

// The ProgID of a class (the versioned one when it has one).
// REGDB_E_CLASSNOTREG when the class has none.
HRESULT ProgIDFromCLSID(const CLSID& clsid, std::wstring* prog_id);

// A new instance of the class named by a ProgID or braced class identifier,
// served in any context, as IDispatch in *object (empty on failure). The
// failures of CLSIDFromProgID and CoCreateInstance.
HRESULT CreateObject(std::wstring_view name, ComPtr<IDispatch>* object);

}  // namespace ovc
