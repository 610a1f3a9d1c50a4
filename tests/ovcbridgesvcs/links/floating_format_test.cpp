#include "ovcbridgesvcs/links/floating_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "automation/text.h"
#include "tests/automation/decimal_comma_locale.h"

namespace ovc::links {
namespace {

// The oracle: the C library's printf, in the "C" locale the test starts in.
std::string CPrintf(const char* format, double value) {
  char text[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(text, sizeof text, format, value);
#pragma GCC diagnostic pop
  return text;
}

TEST(FloatingFormatTest, WritesAsPrintfInTheCLocaleWhateverTheProcessLocale) {
  const char* const formats[] = {
      "%f",  "%.2f",  "%F",     "%.0f",   "%#.0f",   "%e",       "%.3E",  "%#.0e", "%g",
      "%G",  "%.3g",  "%#g",    "%#.3g",  "%.0g",    "%.30g",    "%a",    "%.2A",  "%#.0a",
      "%+f", "% .1f", "%+ .1f", "%08.2f", "%-8.2f|", "%+010.3e", "%010a", "%10g|", "x %lf y %%",
  };
  const double values[] = {0.0,
                           -0.0,
                           1.5,
                           -2.675,
                           1234567.891,
                           1e-5,
                           0.000123456,
                           9.99999,
                           1e15,
                           123456789012345678.0,
                           5e-324,
                           1.0 / 3,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  std::vector<std::string> expected;
  for (const char* format : formats) {
    for (const double value : values) expected.push_back(CPrintf(format, value));
  }
  OVC_IN_DECIMAL_COMMA_LOCALE(locale);
  size_t at = 0;
  for (const char* format : formats) {
    for (const double value : values) {
      const std::optional<std::wstring> written = FormatFloating(FromUtf8(format), value);
      ASSERT_TRUE(written) << format;
      EXPECT_EQ(ToUtf8(*written), expected[at++]) << format << " of " << value;
    }
  }
}

}  // namespace
}  // namespace ovc::links
