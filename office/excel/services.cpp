#include "office/excel/services.h"

#include <mutex>
#include <utility>

namespace ovc::excel {
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

void SetDefaultServices(Services services) {
  std::lock_guard lock(ServicesMutex());
  TheDefaults() = std::move(services);
}

Services DefaultServices() {
  std::lock_guard lock(ServicesMutex());
  return TheDefaults();
}

}  // namespace ovc::excel
