#include "automation/class_registry.h"

#include <dlfcn.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "automation/error_info.h"
#include "automation/exception_guard.h"
#include "automation/registry_store.h"
#include "automation/text.h"

namespace ovc {
namespace {

constexpr std::wstring_view kClassesRoot = L"HKEY_CLASSES_ROOT\\";
// Bounds a chain of CurVer values that leads around in a circle.
constexpr int kMaxCurVerDepth = 8;

struct Registration {
  uint32_t cookie;
  CLSID clsid;
  ComPtr<IUnknown> factory;
  uint32_t context;
  ClassNames names;
};

// The class objects registered by the process.
class ClassTable {
 public:
  static ClassTable& Instance() {
    static ClassTable table;
    return table;
  }

  uint32_t Add(Registration registration) {
    std::lock_guard lock(mutex_);
    if (++last_cookie_ == 0) ++last_cookie_;
    registration.cookie = last_cookie_;
    registrations_.push_back(std::move(registration));
    return last_cookie_;
  }

  bool Remove(uint32_t cookie) {
    ComPtr<IUnknown> released;  // released after the lock: its destructor may call back
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(registrations_.begin(), registrations_.end(),
                                    [cookie](const Registration& r) { return r.cookie == cookie; });
    if (found == registrations_.end()) return false;
    released = std::move(found->factory);
    registrations_.erase(found);
    return true;
  }

  // The newest registration matching `matches`, copied out so that no lock
  // is held while the caller uses it.
  template <class Predicate>
  std::optional<Registration> FindNewest(Predicate matches) const {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(registrations_.rbegin(), registrations_.rend(), matches);
    if (found == registrations_.rend()) return std::nullopt;
    return *found;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Registration> registrations_;
  uint32_t last_cookie_ = 0;
};

using DllGetClassObjectFunction = HRESULT (*)(const CLSID&, const IID&, void**);

// Shared libraries serving classes, loaded once per path and kept loaded.
class ModuleCache {
 public:
  static ModuleCache& Instance() {
    static ModuleCache cache;
    return cache;
  }

  // The module's DllGetClassObject in *function, or CO_E_DLLNOTFOUND /
  // CO_E_ERRORINDLL with an error object. No lock is held while the module
  // loads, so that its initialisation may use the class registry; a module
  // loaded twice at once is still loaded once, as the loader counts it.
  HRESULT Load(const std::wstring& path, DllGetClassObjectFunction* function) {
    if (Find(path, function)) return S_OK;
    void* handle = ::dlopen(ToUtf8(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      return SetErrorResult(CO_E_DLLNOTFOUND,
                            L"Cannot load the module '" + path + L"': " + LoaderMessage(),
                            L"CoGetClassObject");
    }
    void* symbol = ::dlsym(handle, "DllGetClassObject");
    if (symbol == nullptr) {
      const std::wstring message = LoaderMessage();
      ::dlclose(handle);
      return SetErrorResult(CO_E_ERRORINDLL,
                            L"The module '" + path + L"' exports no DllGetClassObject: " + message,
                            L"CoGetClassObject");
    }
    *function = reinterpret_cast<DllGetClassObjectFunction>(symbol);
    std::lock_guard lock(mutex_);
    entries_.emplace(path, *function);
    return S_OK;
  }

 private:
  bool Find(const std::wstring& path, DllGetClassObjectFunction* function) {
    std::lock_guard lock(mutex_);
    const auto known = entries_.find(path);
    if (known == entries_.end()) return false;
    *function = known->second;
    return true;
  }

  static std::wstring LoaderMessage() {
    const char* message = ::dlerror();
    return message != nullptr ? FromUtf8(message) : std::wstring(L"unknown loader error");
  }

  std::mutex mutex_;
  std::map<std::wstring, DllGetClassObjectFunction> entries_;
};

std::wstring ClassKey(const CLSID& clsid) {
  return std::wstring(kClassesRoot) + L"CLSID\\" + GuidToString(clsid);
}

// The default value of a key under HKEY_CLASSES_ROOT, or nothing (also for
// names that are no valid key path).
std::optional<std::wstring> ClassesValue(const std::wstring& key) {
  std::wstring value;
  if (Failed(RegistryStore::Current().GetValue(key, L"", &value))) return std::nullopt;
  return value;
}

std::optional<Registration> FindRegistered(const CLSID& clsid, uint32_t context) {
  return ClassTable::Instance().FindNewest(
      [&](const Registration& r) { return r.clsid == clsid && (r.context & context) != 0; });
}

HRESULT NotRegistered(const CLSID& clsid, uint32_t context) {
  std::wstring description =
      L"Class " + GuidToString(clsid) + L" is not registered for the requested contexts";
  if ((context & CLSCTX_LOCAL_SERVER) != 0 &&
      RegistryStore::Current().KeyExists(ClassKey(clsid) + L"\\LocalServer32")) {
    description += L"; its local server is not running and servers are not started";
  }
  return SetErrorResult(REGDB_E_CLASSNOTREG, description, L"CoGetClassObject");
}

HRESULT GetFromModule(const std::wstring& path, const CLSID& clsid, const IID& iid, void** object) {
  DllGetClassObjectFunction function = nullptr;
  const HRESULT loaded = ModuleCache::Instance().Load(path, &function);
  if (Failed(loaded)) return loaded;
  return function(clsid, iid, object);
}

HRESULT ProgIdToClsid(std::wstring_view prog_id, int depth, CLSID* clsid) {
  const auto registered = ClassTable::Instance().FindNewest([&](const Registration& r) {
    return (!r.names.prog_id.empty() && EqualsNoCase(r.names.prog_id, prog_id)) ||
           (!r.names.versioned_prog_id.empty() && EqualsNoCase(r.names.versioned_prog_id, prog_id));
  });
  if (registered) {
    *clsid = registered->clsid;
    return S_OK;
  }
  const std::wstring key = std::wstring(kClassesRoot) + std::wstring(prog_id);
  const auto current_version = ClassesValue(key + L"\\CurVer");
  if (current_version && depth < kMaxCurVerDepth && !EqualsNoCase(*current_version, prog_id) &&
      Succeeded(ProgIdToClsid(*current_version, depth + 1, clsid))) {
    return S_OK;
  }
  const auto stored = ClassesValue(key + L"\\CLSID");
  if (!stored) return CO_E_CLASSSTRING;
  const auto parsed = GuidFromString(*stored);
  if (!parsed) {
    return SetErrorResult(REGDB_E_READREGDB,
                          L"The CLSID of ProgID '" + std::wstring(prog_id) +
                              L"' is not a class identifier: '" + *stored + L"'",
                          L"CLSIDFromProgID");
  }
  *clsid = *parsed;
  return S_OK;
}

HRESULT GetClassObject(const CLSID& clsid, uint32_t context, const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if ((context & CLSCTX_ALL) == 0) return E_INVALIDARG;
  if (const auto registered = FindRegistered(clsid, context)) {
    return registered->factory->QueryInterface(iid, object);
  }
  if ((context & CLSCTX_INPROC_SERVER) != 0) {
    const auto module = ClassesValue(ClassKey(clsid) + L"\\InprocServer32");
    if (module && !module->empty()) return GetFromModule(*module, clsid, iid, object);
  }
  return NotRegistered(clsid, context);
}

HRESULT CreateInstance(const CLSID& clsid, IUnknown* outer, uint32_t context, const IID& iid,
                       void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) {
    return SetErrorResult(CLASS_E_NOAGGREGATION,
                          L"Class " + GuidToString(clsid) + L" cannot be aggregated",
                          L"CoCreateInstance");
  }
  ComPtr<IClassFactory> factory;
  const HRESULT found = GetClassObject(clsid, context, IClassFactory::kIid, factory.ReceiveVoid());
  if (Failed(found)) return found;
  return factory->CreateInstance(nullptr, iid, object);
}

}  // namespace

HRESULT CoRegisterClassObject(const CLSID& clsid, IUnknown* factory, uint32_t context,
                              uint32_t* cookie, ClassNames names) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (factory == nullptr || (context & CLSCTX_ALL) == 0) return E_INVALIDARG;
  *cookie = ClassTable::Instance().Add(
      {0, clsid, ComPtr<IUnknown>(factory), context & CLSCTX_ALL, std::move(names)});
  return S_OK;
}

HRESULT CoRevokeClassObject(uint32_t cookie) {
  return ClassTable::Instance().Remove(cookie) ? S_OK : E_INVALIDARG;
}

HRESULT CoGetClassObject(const CLSID& clsid, uint32_t context, const IID& iid, void** object) {
  return GuardedCall(L"CoGetClassObject",
                     [&] { return GetClassObject(clsid, context, iid, object); });
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, uint32_t context, const IID& iid,
                         void** object) {
  return GuardedCall(L"CoCreateInstance",
                     [&] { return CreateInstance(clsid, outer, context, iid, object); });
}

HRESULT CLSIDFromProgID(std::wstring_view prog_id, CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = GUID_NULL;
  std::optional<GUID> braced;
  if (prog_id.starts_with(L'{') && (braced = GuidFromString(prog_id))) {
    *clsid = *braced;
    return S_OK;
  }
  const HRESULT found = ProgIdToClsid(prog_id, 0, clsid);
  if (found != CO_E_CLASSSTRING) return found;
  return SetErrorResult(CO_E_CLASSSTRING,
                        L"'" + std::wstring(prog_id) +
                            L"' is neither a registered ProgID "
                            L"nor a class identifier",
                        L"CLSIDFromProgID");
}

HRESULT ProgIDFromCLSID(const CLSID& clsid, std::wstring* prog_id) {
  if (prog_id == nullptr) return E_POINTER;
  prog_id->clear();
  const auto registered = ClassTable::Instance().FindNewest([&](const Registration& r) {
    return r.clsid == clsid && !(r.names.prog_id.empty() && r.names.versioned_prog_id.empty());
  });
  if (registered) {
    const ClassNames& names = registered->names;
    *prog_id = names.versioned_prog_id.empty() ? names.prog_id : names.versioned_prog_id;
    return S_OK;
  }
  const auto stored = ClassesValue(ClassKey(clsid) + L"\\ProgID");
  if (stored && !stored->empty()) {
    *prog_id = *stored;
    return S_OK;
  }
  return SetErrorResult(REGDB_E_CLASSNOTREG, L"Class " + GuidToString(clsid) + L" has no ProgID",
                        L"ProgIDFromCLSID");
}

HRESULT CreateObject(std::wstring_view name, ComPtr<IDispatch>* object) {
  if (object == nullptr) return E_POINTER;
  object->Reset();
  CLSID clsid;
  const HRESULT resolved = CLSIDFromProgID(name, &clsid);
  if (Failed(resolved)) return resolved;
  return CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IDispatch::kIid, object->ReceiveVoid());
}

}  // namespace ovc
