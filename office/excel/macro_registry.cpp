#include "office/excel/macro_registry.h"

#include <map>
#include <mutex>
#include <utility>

namespace ovc::excel {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::wstring, Macro, std::less<>> macros;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

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

}  // namespace ovc::excel
