#include "office/excel/formula/decimal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ovc::excel::formula {

namespace {

constexpr int kSignificantDigits = 15;

// The 15 significant digits of a finite, non-zero |number| and the power of
// ten of the first: 2.675 -> "267500000000000", 0.
void DecimalDigits(double number, std::string* digits, int* exponent) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*e", kSignificantDigits - 1, std::fabs(number));
  digits->assign(1, text[0]);
  digits->append(text + 2, kSignificantDigits - 1);
  *exponent = std::atoi(text + kSignificantDigits + 2);
}

}  // namespace

double RoundSignificant(double number) {
  if (!std::isfinite(number) || number == 0) return number;
  char text[32];
  std::snprintf(text, sizeof text, "%.*e", kSignificantDigits - 1, number);
  return std::strtod(text, nullptr);
}

double RoundDecimal(double number, int digits, Rounding rounding) {
  if (!std::isfinite(number) || number == 0) return number;
  std::string mantissa;
  int exponent = 0;
  DecimalDigits(number, &mantissa, &exponent);
  // Digits kept: those before the 10^-digits place.
  const int kept = exponent + 1 + digits;
  if (kept >= kSignificantDigits) return RoundSignificant(number);
  bool up = false;
  if (kept >= 0) {
    const std::string dropped = mantissa.substr(kept);
    const bool any = dropped.find_first_not_of('0') != std::string::npos;
    up = rounding == Rounding::kAwayFromZero ? any
         : rounding == Rounding::kTowardZero ? false
                                             : dropped[0] >= '5';
  } else {
    up = rounding == Rounding::kAwayFromZero;
  }
  double whole = kept > 0 ? std::strtod(mantissa.substr(0, kept).c_str(), nullptr) : 0;
  if (up) whole += 1;
  // The kept digits times 10^-digits, written out so that 2.68 is the
  // double nearest 2.68.
  char text[48];
  std::snprintf(text, sizeof text, "%.0fe%d", whole, -digits);
  const double magnitude = std::strtod(text, nullptr);
  return number < 0 ? -magnitude : magnitude;
}

double SnapToInteger(double quotient) {
  const double snapped = RoundSignificant(quotient);
  return snapped == std::nearbyint(snapped) ? snapped : quotient;
}

}  // namespace ovc::excel::formula
