#include "office/excel/formula/value.h"

#include <gtest/gtest.h>

#include <string>

#include "office/excel/formula/decimal.h"

namespace ovc::excel::formula {
namespace {

TEST(ValueTest, CoercionsFollowTheSpreadsheet) {
  const struct {
    Value value;
    Value number;
    Value text;
    Value boolean;
  } cases[] = {
      {Value(), Value::Number(0), Value::Text(""), Value::Boolean(false)},
      {Value::Number(-0.5), Value::Number(-0.5), Value::Text("-0.5"), Value::Boolean(true)},
      {Value::Boolean(true), Value::Number(1), Value::Text("TRUE"), Value::Boolean(true)},
      {Value::Text(" 2.5e1 "), Value::Number(25), Value::Text(" 2.5e1 "),
       Value::Error(ErrorCode::kValue)},
      {Value::Text("50%"), Value::Number(0.5), Value::Text("50%"), Value::Error(ErrorCode::kValue)},
      {Value::Text("false"), Value::Error(ErrorCode::kValue), Value::Text("false"),
       Value::Boolean(false)},
      {Value::Text("--1"), Value::Error(ErrorCode::kValue), Value::Text("--1"),
       Value::Error(ErrorCode::kValue)},
      {Value::Error(ErrorCode::kRef), Value::Error(ErrorCode::kRef), Value::Error(ErrorCode::kRef),
       Value::Error(ErrorCode::kRef)},
      {Value::Array(1, 2, {Value::Number(3), Value::Text("a")}), Value::Number(3), Value::Text("3"),
       Value::Boolean(true)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToNumber(c.value), c.number);
    EXPECT_EQ(ToText(c.value), c.text);
    EXPECT_EQ(ToBoolean(c.value), c.boolean);
  }
  EXPECT_EQ(Value::Number(1.0 / 0.0), Value::Error(ErrorCode::kNum));
  EXPECT_EQ(Value::Text(std::string(kMaxTextBytes + 1, 'a')), Value::Error(ErrorCode::kValue));
}

TEST(ValueTest, GeneralFormatShowsFifteenDigits) {
  const struct {
    double number;
    const char* text;
  } cases[] = {
      {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"},
      {-2, "-2"},         {123456789012345678.0, "1.23456789012346E+17"},
      {1e-10, "1E-10"},   {-0.0, "0"},
      {2.675, "2.675"},   {1e15, "1E+15"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.number), c.text) << c.number;
}

TEST(ValueTest, CompareOrdersTypesAndIgnoresCase) {
  const struct {
    Value a;
    Value b;
    int order;
  } cases[] = {
      {Value::Number(1), Value::Text("0"), -1},
      {Value::Text("z"), Value::Boolean(false), -1},
      {Value::Text("abc"), Value::Text("ABD"), -1},
      {Value::Text("\xC3\xA9"), Value::Text("\xC3\x89"), 0},
      {Value(), Value::Number(0), 0},
      {Value(), Value::Text(""), 0},
      {Value(), Value::Boolean(false), 0},
      {Value(), Value::Number(-1), 1},
      {Value::Number(0.1 + 0.2), Value::Number(0.3), 0},
      {Value::Number(1 + 1e-14), Value::Number(1), 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Compare(c.a, c.b), c.order);
    EXPECT_EQ(Compare(c.b, c.a), -c.order);
  }
}

TEST(DecimalTest, RoundsTheDigitsAUserSees) {
  const struct {
    double number;
    int digits;
    Rounding rounding;
    double expected;
  } cases[] = {
      {2.675, 2, Rounding::kHalfAwayFromZero, 2.68},
      {1.005, 2, Rounding::kHalfAwayFromZero, 1.01},
      {-0.5, 0, Rounding::kHalfAwayFromZero, -1},
      {0.49999999999999994, 0, Rounding::kHalfAwayFromZero, 1},  // reads 0.5
      {1234.5678, -2, Rounding::kHalfAwayFromZero, 1200},
      {5, -1, Rounding::kHalfAwayFromZero, 10},
      {4, -1, Rounding::kHalfAwayFromZero, 0},
      {0.1 + 0.2, 1, Rounding::kAwayFromZero, 0.3},
      {-1.21, 1, Rounding::kAwayFromZero, -1.3},
      {0.001, -3, Rounding::kAwayFromZero, 1000},
      {2.99999, 0, Rounding::kTowardZero, 2},
      {1e300, 2, Rounding::kHalfAwayFromZero, 1e300},
      {123.456, 20, Rounding::kTowardZero, 123.456},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundDecimal(c.number, c.digits, c.rounding), c.expected)
        << c.number << " to " << c.digits;
  }
  EXPECT_EQ(SnapToInteger(1800 * 1.1 / 6), 330);
  EXPECT_EQ(SnapToInteger(330.5), 330.5);
}

}  // namespace
}  // namespace ovc::excel::formula
