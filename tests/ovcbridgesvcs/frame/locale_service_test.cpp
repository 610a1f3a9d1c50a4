#include "ovcbridgesvcs/frame/locale_service.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace ovc {
namespace {

class FixedLocale final : public LocaleService {
 public:
  explicit FixedLocale(std::optional<NumberLayout> layout) : layout_(std::move(layout)) {}
  std::optional<NumberLayout> UserLayout() override { return layout_; }

 private:
  std::optional<NumberLayout> layout_;
};

// An installed service answers, its separators cut to the longest the
// formatting takes, until it is removed.
TEST(LocaleServiceTest, InstalledServiceAnswersWithinLimitsUntilRemoved) {
  EXPECT_EQ(UserNumberLayout(), (NumberLayout{L".", L",", DateOrder::kMonthDayYear}));
  SetLocaleService(std::make_shared<FixedLocale>(
      NumberLayout{std::wstring(40, L'd'), std::wstring(33, L't'), DateOrder::kYearMonthDay}));
  EXPECT_EQ(UserNumberLayout(),
            (NumberLayout{std::wstring(kMaxSeparatorLength, L'd'),
                          std::wstring(kMaxSeparatorLength, L't'), DateOrder::kYearMonthDay}));
  SetLocaleService(nullptr);
  EXPECT_EQ(UserNumberLayout(), NumberLayout{});
}

}  // namespace
}  // namespace ovc
