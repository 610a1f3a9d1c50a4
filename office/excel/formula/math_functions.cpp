#include <cmath>
#include <numbers>
#include <random>
#include <span>

#include "office/excel/formula/decimal.h"
#include "office/excel/formula/function_support.h"
#include "office/excel/formula/function_table.h"

namespace ovc::excel::formula {

namespace {

using Scalars = std::span<const Value>;

// A function of one number: NaN and infinities it gives are #NUM!.
template <double (*F)(double)>
Value OfOne(Scalars a) {
  double x = 0;
  Value error;
  return ReadNumbers(a, &x, 1, &error) ? Value::Number(F(x)) : error;
}

// A function of two numbers, the second 0 when not given.
template <Value (*F)(double, double)>
Value OfTwo(Scalars a) {
  double x[2];
  Value error;
  return ReadNumbers(a, x, 2, &error) ? F(x[0], x[1]) : error;
}

double Fabs(double x) { return std::fabs(x); }
double Exp(double x) { return std::exp(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }
double Atan(double x) { return std::atan(x); }
double Sinh(double x) { return std::sinh(x); }
double Cosh(double x) { return std::cosh(x); }
double Tanh(double x) { return std::tanh(x); }
double Sin(double x) { return std::sin(x); }
double Sign(double x) { return x > 0 ? 1 : x < 0 ? -1 : 0; }
double Degrees(double x) { return x * 180 / std::numbers::pi; }
double Radians(double x) { return x * std::numbers::pi / 180; }
double Int(double x) { return std::floor(SnapToInteger(x)); }
double Log10(double x) { return x > 0 ? std::log10(x) : NAN; }
double Ln(double x) { return x > 0 ? std::log(x) : NAN; }
double Sqrt(double x) { return x >= 0 ? std::sqrt(x) : NAN; }

double Even(double x) {
  const double up = std::ceil(std::fabs(x) / 2) * 2;
  return x < 0 ? -up : up;
}
double Odd(double x) {
  double up = std::ceil(std::fabs(x));
  if (std::fmod(up, 2) == 0) up += 1;
  return x < 0 ? -up : up;
}
double Fact(double x) { return x < 0 ? NAN : std::tgamma(std::floor(x) + 1); }

Value Log(double x, double base) {
  if (x <= 0 || base <= 0) return Value::Error(ErrorCode::kNum);
  if (base == 1) return Value::Error(ErrorCode::kDiv0);
  return Value::Number(std::log(x) / std::log(base));
}

Value LogBase(Scalars a) {
  if (a.size() < 2 || a[1].is_blank()) return OfOne<Log10>(a);
  return OfTwo<Log>(a);
}

Value Power(double x, double y) {
  if (x == 0 && y <= 0) return Value::Error(y == 0 ? ErrorCode::kNum : ErrorCode::kDiv0);
  return Value::Number(std::pow(x, y));
}

Value Atan2(double x, double y) {
  if (x == 0 && y == 0) return Value::Error(ErrorCode::kDiv0);
  return Value::Number(std::atan2(y, x));
}

Value Mod(double x, double y) {
  if (y == 0) return Value::Error(ErrorCode::kDiv0);
  const double rest = x - y * std::floor(SnapToInteger(x / y));
  // A rest within rounding of 0 or of y is 0: MOD(0.3, 0.1) is 0.
  const double tolerance = std::fabs(y) * 1e-14;
  return Value::Number(std::fabs(rest) < tolerance || std::fabs(rest - y) < tolerance ? 0 : rest);
}

Value Quotient(double x, double y) {
  if (y == 0) return Value::Error(ErrorCode::kDiv0);
  return Value::Number(std::trunc(SnapToInteger(x / y)));
}

template <Rounding R>
Value Round(double x, double digits) {
  const int places = static_cast<int>(std::clamp(std::trunc(digits), -400.0, 400.0));
  return Value::Number(RoundDecimal(x, places, R));
}

Value Trunc(Scalars a) {
  double x[2];
  Value error;
  return ReadNumbers(a, x, 2, &error) ? Round<Rounding::kTowardZero>(x[0], x[1]) : error;
}

// CEILING and FLOOR: a multiple of `step`, the quotient taken as the integer
// it agrees with to 15 digits.
template <bool kUp>
Value ToMultiple(double x, double step) {
  if (step == 0) return kUp ? Value::Number(0) : Value::Error(ErrorCode::kDiv0);
  if (x > 0 && step < 0) return Value::Error(ErrorCode::kNum);
  const double quotient = SnapToInteger(x / step);
  return Value::Number(RoundSignificant((kUp ? std::ceil(quotient) : std::floor(quotient)) * step));
}

Value MRound(double x, double step) {
  if (step == 0) return Value::Number(0);
  if ((x > 0 && step < 0) || (x < 0 && step > 0)) return Value::Error(ErrorCode::kNum);
  const double quotient = RoundDecimal(x / step, 0, Rounding::kHalfAwayFromZero);
  return Value::Number(RoundSignificant(quotient * step));
}

std::mt19937_64& Random() {
  thread_local std::mt19937_64 engine{std::random_device{}()};
  return engine;
}

Value Rand(Scalars) {
  return Value::Number(std::uniform_real_distribution<double>(0, 1)(Random()));
}

Value RandBetween(double low, double high) {
  const double first = std::ceil(low);
  const double last = std::floor(high);
  if (first > last || last - first > 9.0e15) return Value::Error(ErrorCode::kNum);
  const auto span = static_cast<uint64_t>(last - first);
  return Value::Number(
      first + static_cast<double>(std::uniform_int_distribution<uint64_t>(0, span)(Random())));
}

Value Pi(Scalars) { return Value::Number(std::numbers::pi); }

// clang-format off
const FunctionSpec kMathFunctions[] = {
    {"ABS", 1, 1, 0, OfOne<Fabs>, nullptr},
    {"SQRT", 1, 1, 0, OfOne<Sqrt>, nullptr},
    {"EXP", 1, 1, 0, OfOne<Exp>, nullptr},
    {"LN", 1, 1, 0, OfOne<Ln>, nullptr},
    {"LOG", 1, 2, 0, LogBase, nullptr},
    {"LOG10", 1, 1, 0, OfOne<Log10>, nullptr},
    {"POWER", 2, 2, 0, OfTwo<Power>, nullptr},
    {"PI", 0, 0, 0, Pi, nullptr},
    {"SIN", 1, 1, 0, OfOne<Sin>, nullptr},
    {"COS", 1, 1, 0, OfOne<Cos>, nullptr},
    {"TAN", 1, 1, 0, OfOne<Tan>, nullptr},
    {"ASIN", 1, 1, 0, OfOne<Asin>, nullptr},
    {"ACOS", 1, 1, 0, OfOne<Acos>, nullptr},
    {"ATAN", 1, 1, 0, OfOne<Atan>, nullptr},
    {"ATAN2", 2, 2, 0, OfTwo<Atan2>, nullptr},
    {"SINH", 1, 1, 0, OfOne<Sinh>, nullptr},
    {"COSH", 1, 1, 0, OfOne<Cosh>, nullptr},
    {"TANH", 1, 1, 0, OfOne<Tanh>, nullptr},
    {"DEGREES", 1, 1, 0, OfOne<Degrees>, nullptr},
    {"RADIANS", 1, 1, 0, OfOne<Radians>, nullptr},
    {"SIGN", 1, 1, 0, OfOne<Sign>, nullptr},
    {"MOD", 2, 2, 0, OfTwo<Mod>, nullptr},
    {"QUOTIENT", 2, 2, 0, OfTwo<Quotient>, nullptr},
    {"INT", 1, 1, 0, OfOne<Int>, nullptr},
    {"TRUNC", 1, 2, 0, Trunc, nullptr},
    {"ROUND", 2, 2, 0, OfTwo<Round<Rounding::kHalfAwayFromZero>>, nullptr},
    {"ROUNDUP", 2, 2, 0, OfTwo<Round<Rounding::kAwayFromZero>>, nullptr},
    {"ROUNDDOWN", 2, 2, 0, OfTwo<Round<Rounding::kTowardZero>>, nullptr},
    {"CEILING", 2, 2, 0, OfTwo<ToMultiple<true>>, nullptr},
    {"FLOOR", 2, 2, 0, OfTwo<ToMultiple<false>>, nullptr},
    {"MROUND", 2, 2, 0, OfTwo<MRound>, nullptr},
    {"EVEN", 1, 1, 0, OfOne<Even>, nullptr},
    {"ODD", 1, 1, 0, OfOne<Odd>, nullptr},
    {"FACT", 1, 1, 0, OfOne<Fact>, nullptr},
    {"RAND", 0, 0, kVolatile, Rand, nullptr},
    {"RANDBETWEEN", 2, 2, kVolatile, OfTwo<RandBetween>, nullptr},
};
// clang-format on

}  // namespace

std::span<const FunctionSpec> MathFunctions() { return kMathFunctions; }

}  // namespace ovc::excel::formula
