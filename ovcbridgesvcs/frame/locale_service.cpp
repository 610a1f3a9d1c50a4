#include "ovcbridgesvcs/frame/locale_service.h"

#include <mutex>
#include <utility>

namespace ovc {

namespace {

struct InstalledService {
  std::mutex mutex;
  std::shared_ptr<LocaleService> service;
};

InstalledService& Installed() {
  static InstalledService installed;
  return installed;
}

std::shared_ptr<LocaleService> CurrentService() {
  InstalledService& installed = Installed();
  std::lock_guard lock(installed.mutex);
  return installed.service;
}

}  // namespace

void SetLocaleService(std::shared_ptr<LocaleService> service) {
  InstalledService& installed = Installed();
  std::lock_guard lock(installed.mutex);
  installed.service = std::move(service);
}

std::optional<NumberLayout> UserNumberLayout() {
  const std::shared_ptr<LocaleService> service = CurrentService();
  if (service == nullptr) return NumberLayout{};
  std::optional<NumberLayout> layout = service->UserLayout();
  if (!layout) return std::nullopt;
  if (layout->decimal_separator.size() > kMaxSeparatorLength) {
    layout->decimal_separator.resize(kMaxSeparatorLength);
  }
  if (layout->thousands_separator.size() > kMaxSeparatorLength) {
    layout->thousands_separator.resize(kMaxSeparatorLength);
  }
  return layout;
}

}  // namespace ovc
