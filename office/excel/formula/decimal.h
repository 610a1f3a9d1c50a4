#pragma once

namespace ovc::excel::formula {

// Decimal arithmetic where users see the digits: a double is taken as the
// decimal its 15 significant digits show, so that 2.675 (stored just below
// 2.675) rounds as written.

// `number` rounded to 15 significant digits.
double RoundSignificant(double number);

// How RoundDecimal treats the digits it drops.
enum class Rounding { kHalfAwayFromZero, kAwayFromZero, kTowardZero };

// `number` rounded to `digits` decimals (negative: to tens, hundreds...), on
// the decimal digits it shows.
double RoundDecimal(double number, int digits, Rounding rounding);

// The integer `quotient` lies on when it agrees with one to 15 significant
// digits, else `quotient` itself: 330.00000000000006 -> 330.
double SnapToInteger(double quotient);

}  // namespace ovc::excel::formula
