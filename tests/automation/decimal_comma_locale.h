#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <locale>
#include <stdexcept>

namespace ovc::testing {

// For its lifetime the process runs in a locale whose decimal separator is
// a comma, for both the C functions and the C++ streams, as a host program
// that sets its users' locale does. When no such locale is installed a test
// is skipped on a developer's machine and fails in CI, where scripts/setup.sh
// generates one.
class DecimalCommaLocale {
 public:
  DecimalCommaLocale() : previous_(std::locale()) {
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
      try {
        std::locale::global(std::locale(name));
        active_ = true;
        return;
      } catch (const std::runtime_error&) {
      }
    }
  }
  ~DecimalCommaLocale() { std::locale::global(previous_); }

  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

  bool active() const { return active_; }

 private:
  std::locale previous_;
  bool active_ = false;
};

// Opens a DecimalCommaLocale named `name`, or skips (fails in CI) the test.
#define OVC_IN_DECIMAL_COMMA_LOCALE(name)                                  \
  const ::ovc::testing::DecimalCommaLocale name;                           \
  if (!name.active()) {                                                    \
    if (std::getenv("CI") != nullptr) FAIL() << "no decimal-comma locale"; \
    GTEST_SKIP() << "no locale with a decimal comma is installed";         \
  }

}  // namespace ovc::testing
