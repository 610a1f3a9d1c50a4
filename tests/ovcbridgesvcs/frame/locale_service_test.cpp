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

TEST(LocaleServiceTest, InstalledServiceAnswersUntilRemoved) {
  EXPECT_EQ(UserNumberLayout(), (NumberLayout{L".", L",", DateOrder::kMonthDayYear}));
  const NumberLayout german{L",", L".", DateOrder::kDayMonthYear};
  SetLocaleService(std::make_shared<FixedLocale>(german));
  EXPECT_EQ(UserNumberLayout(), german);
  SetLocaleService(std::make_shared<FixedLocale>(std::nullopt));
  EXPECT_EQ(UserNumberLayout(), std::nullopt);
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
