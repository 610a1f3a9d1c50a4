#pragma once

#include <memory>
#include <mutex>
#include <utility>

namespace ovc {

// One process-wide slot for a service the embedding program installs: any
// thread may replace it or take a shared reference to the current one
// (null when none is installed).
template <class Service>
class InstalledService {
 public:
  void Install(std::shared_ptr<Service> service) {
    std::lock_guard lock(mutex_);
    service_ = std::move(service);
  }
  std::shared_ptr<Service> Current() const {
    std::lock_guard lock(mutex_);
    return service_;
  }

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<Service> service_;
};

// The process's one slot for a Service.
template <class Service>
InstalledService<Service>& InstalledSlot() {
  static InstalledService<Service> slot;
  return slot;
}

}  // namespace ovc
