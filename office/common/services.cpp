#include "office/common/services.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <utility>

namespace ovc::office {
namespace {

std::mutex& ServicesMutex() {
  static std::mutex mutex;
  return mutex;
}

Services& TheDefaults() {
  static Services services;
  return services;
}

}  // namespace

std::string UserName(const Services& services) {
  if (!services.user_name.empty()) return services.user_name;
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr) return entry->pw_name;
  const char* user = std::getenv("USER");
  return user != nullptr ? user : "";
}

void SetDefaultServices(Services services) {
  std::lock_guard lock(ServicesMutex());
  TheDefaults() = std::move(services);
}

Services DefaultServices() {
  std::lock_guard lock(ServicesMutex());
  return TheDefaults();
}

}  // namespace ovc::office
