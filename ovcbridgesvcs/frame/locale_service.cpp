#include "ovcbridgesvcs/frame/locale_service.h"

#include <utility>

#include "ovcbridgesvcs/frame/installed_service.h"

namespace ovc {

namespace {}  // namespace

void SetLocaleService(std::shared_ptr<LocaleService> service) {
  InstalledSlot<LocaleService>().Install(std::move(service));
}

std::optional<NumberLayout> UserNumberLayout() {
  const std::shared_ptr<LocaleService> service = InstalledSlot<LocaleService>().Current();
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
