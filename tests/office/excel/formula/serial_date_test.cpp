#include "office/excel/formula/serial_date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace ovc::excel::formula {
namespace {

constexpr DateSystem k1900 = DateSystem::k1900;
constexpr DateSystem k1904 = DateSystem::k1904;

// Both systems end on 9999-12-31: automation date 2958465, 1904 serial
// 2957003.
TEST(SerialDateTest, SerialsAreDatesFromTheSystemsFirstDayTo9999) {
  const struct {
    double serial;
    DateSystem system;
    std::optional<DATE> date;  // nullopt: no date
  } cases[] = {
      {0, k1900, 0},
      {59, k1900, 60},
      {60, k1900, std::nullopt},  // 1900-02-29
      {61, k1900, 61},
      {2958465.5, k1900, 2958465.5},
      {2958466, k1900, std::nullopt},
      {-1, k1900, std::nullopt},
      {std::nan(""), k1900, std::nullopt},
      {0, k1904, 1462},
      {2957003.75, k1904, 2958465.75},
      {2957004, k1904, std::nullopt},
      {2958465, k1904, std::nullopt},
  };
  for (const auto& c : cases) {
    DATE date = -7;
    const bool converted = SerialToDate(c.serial, c.system, &date);
    EXPECT_EQ(converted ? std::optional<DATE>(date) : std::nullopt, c.date)
        << c.serial << (c.system == k1904 ? " (1904)" : "");
  }
}

TEST(SerialDateTest, DatesHaveSerialsFromTheSystemsFirstDayTo9999) {
  const struct {
    DATE date;
    DateSystem system;
    std::optional<double> serial;  // nullopt: no serial
  } cases[] = {
      {0.25, k1900, 0.25},  // a time of day alone
      {1.5, k1900, std::nullopt},
      {60, k1900, 59},
      {61, k1900, 61},
      {2958465.5, k1900, 2958465.5},
      {2958466, k1900, std::nullopt},
      {0.25, k1904, 0.25},
      {1461, k1904, std::nullopt},
      {1462, k1904, 0},
      {2958465.5, k1904, 2957003.5},
      {2958466, k1904, std::nullopt},
      {4420000, k1904, std::nullopt},
  };
  for (const auto& c : cases) {
    double serial = -7;
    const bool converted = DateToSerial(c.date, c.system, &serial);
    EXPECT_EQ(converted ? std::optional<double>(serial) : std::nullopt, c.serial)
        << c.date << (c.system == k1904 ? " (1904)" : "");
  }
}

}  // namespace
}  // namespace ovc::excel::formula
