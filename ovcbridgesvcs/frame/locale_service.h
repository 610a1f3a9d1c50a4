#pragma once

#include <memory>
#include <optional>
#include <string>

namespace ovc {

// The order of the fields in the user's short date.
enum class DateOrder { kMonthDayYear, kDayMonthYear, kYearMonthDay };

// The user's number and date layout.
struct NumberLayout {
  std::wstring decimal_separator = L".";
  std::wstring thousands_separator = L",";
  DateOrder date_order = DateOrder::kMonthDayYear;

  friend bool operator==(const NumberLayout&, const NumberLayout&) = default;
};

// Tells the library the user's layout. The embedding program installs one
// (SetLocaleService); without one the default NumberLayout applies.
class LocaleService {
 public:
  virtual ~LocaleService() = default;
  // The user's current layout; nullopt when the settings cannot be obtained.
  virtual std::optional<NumberLayout> UserLayout() = 0;
};

// Installs the process's locale service, replacing the previous one; null
// restores the default. The library shares ownership of the service.
void SetLocaleService(std::shared_ptr<LocaleService> service);

// The installed service's layout with each separator cut to its first
// kMaxSeparatorLength characters; nullopt when the service cannot tell.
inline constexpr size_t kMaxSeparatorLength = 32;
std::optional<NumberLayout> UserNumberLayout();

}  // namespace ovc
