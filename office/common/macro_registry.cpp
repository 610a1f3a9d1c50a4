#include "office/common/macro_registry.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/error_info.h"
#include "automation/text.h"

namespace ovc::office {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::wstring, Macro, std::less<>> macros;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// The macro runs under way on this thread, one inside another.
thread_local int running_macros = 0;

// Counts a macro run for as long as it lasts.
class NestedRun {
 public:
  NestedRun() { ++running_macros; }
  ~NestedRun() { --running_macros; }
  NestedRun(const NestedRun&) = delete;
  NestedRun& operator=(const NestedRun&) = delete;
};

}  // namespace

void RegisterMacro(const std::wstring& name, Macro macro) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.macros[name] = std::move(macro);
}

bool UnregisterMacro(const std::wstring& name) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  return registry.macros.erase(name) > 0;
}

Macro FindMacro(const std::wstring& name) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  const auto found = registry.macros.find(name);
  return found == registry.macros.end() ? Macro() : found->second;
}

HRESULT RunMacro(IDispatch* application, const Variant& macro, std::span<const Variant* const> args,
                 Variant* result, std::string* reason) {
  if (macro.vt() != VT_BSTR) {
    *reason = "Run: the macro name is not text";
    return DISP_E_TYPEMISMATCH;
  }
  const std::wstring& name = macro.bstr();
  const Macro found = FindMacro(name);
  const std::string quoted = "macro '" + ToUtf8(name) + "'";
  if (!found) {
    *reason = quoted + " not available: only macros registered by the embedding program run";
    return E_NOTIMPL;
  }
  if (running_macros >= kMaxMacroNesting) {
    *reason = quoted + " not run: more than " + std::to_string(kMaxMacroNesting) +
              " macro runs inside one another";
    return E_FAIL;
  }
  size_t count = args.size();
  while (count > 0 && args[count - 1]->IsMissing()) --count;
  std::vector<Variant> values;
  for (size_t i = 0; i < count; ++i) values.push_back(*args[i]);
  ComPtr<IDispatch> keep_alive(application);
  const NestedRun nested;
  const HRESULT hr = found(application, values, result);
  if (Succeeded(hr)) return hr;
  ComPtr<IErrorInfo> error = GetErrorInfo();
  if (error) {
    SetErrorInfo(std::move(error));
  } else {
    *reason = quoted + " failed";
  }
  return hr;
}

}  // namespace ovc::office
