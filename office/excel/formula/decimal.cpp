#include "office/excel/formula/decimal.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "automation/number_text.h"

namespace ovc::excel::formula {

namespace {

constexpr int kSignificantDigits = 15;

// The 15 significant digits of a finite, non-zero |number| and the power of
// ten of the first: 2.675 -> "267500000000000", 0.
Decimal FifteenDigits(double number) {
  Decimal decimal = ToDecimal(std::fabs(number), kSignificantDigits);
  decimal.digits.resize(kSignificantDigits, '0');
  return decimal;
}

// The double nearest `whole` x 10^`power`, read from its decimal text so
// that 268 x 10^-2 is the double nearest 2.68; infinity past the doubles.
double Scaled(int64_t whole, int power) {
  const std::string text = std::to_string(whole) + "e" + std::to_string(power);
  double value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec ==
      std::errc::result_out_of_range) {
    return power > 0 ? HUGE_VAL : 0.0;
  }
  return value;
}

int64_t DigitsValue(std::string_view digits) {
  int64_t value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

}  // namespace

double RoundSignificant(double number) {
  if (!std::isfinite(number) || number == 0) return number;
  const Decimal decimal = FifteenDigits(number);
  return std::copysign(
      Scaled(DigitsValue(decimal.digits), decimal.exponent - kSignificantDigits + 1), number);
}

double RoundDecimal(double number, int digits, Rounding rounding) {
  if (!std::isfinite(number) || number == 0) return number;
  const Decimal decimal = FifteenDigits(number);
  const std::string& mantissa = decimal.digits;
  // Digits kept: those before the 10^-digits place.
  const int kept = decimal.exponent + 1 + digits;
  if (kept >= kSignificantDigits) return RoundSignificant(number);
  bool up = false;
  if (kept >= 0) {
    const std::string dropped = mantissa.substr(size_t(kept));
    const bool any = dropped.find_first_not_of('0') != std::string::npos;
    up = rounding == Rounding::kAwayFromZero ? any
         : rounding == Rounding::kTowardZero ? false
                                             : dropped[0] >= '5';
  } else {
    up = rounding == Rounding::kAwayFromZero;
  }
  int64_t whole = kept > 0 ? DigitsValue(std::string_view(mantissa).substr(0, size_t(kept))) : 0;
  if (up) whole += 1;
  return std::copysign(Scaled(whole, -digits), number);
}

double SnapToInteger(double quotient) {
  const double snapped = RoundSignificant(quotient);
  return snapped == std::nearbyint(snapped) ? snapped : quotient;
}

}  // namespace ovc::excel::formula
