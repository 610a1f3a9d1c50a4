#include "automation/conversion.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/number_text.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "tests/automation/value_object.h"

namespace ovc {
namespace {

using values_testing::ValueObject;

// One conversion: `expected` is the result, or nothing when `failure` is
// the status expected instead.
struct ConversionCase {
  Variant source;
  VARTYPE vt;
  uint16_t flags;
  Variant expected;
  HRESULT failure = S_OK;
};

ConversionCase Converts(Variant source, VARTYPE vt, Variant expected, uint16_t flags = 0) {
  return {std::move(source), vt, flags, std::move(expected)};
}

ConversionCase Fails(Variant source, VARTYPE vt, HRESULT failure, uint16_t flags = 0) {
  return {std::move(source), vt, flags, Variant(), failure};
}

void Check(const std::vector<ConversionCase>& cases) {
  for (const ConversionCase& c : cases) {
    const Variant untouched(L"untouched");
    Variant result = untouched;
    const HRESULT hr = VariantChangeType(&result, c.source, c.flags, c.vt);
    SCOPED_TRACE(ToUtf8(VarTypeName(c.source.vt()) + L" -> " + VarTypeName(c.vt)));
    EXPECT_EQ(hr, Failed(c.failure) ? c.failure : S_OK);
    EXPECT_EQ(result, Failed(c.failure) ? untouched : c.expected);
  }
}

Variant Text(std::wstring text) { return Variant(std::move(text)); }

TEST(ConversionTest, NumbersRoundHalfToEvenAndCheckRange) {
  Check({
      Converts(Variant::R8(2.5), VT_I4, Variant::I4(2)),
      Converts(Variant::R8(3.5), VT_I4, Variant::I4(4)),
      Converts(Variant::R8(2.5000001), VT_I2, Variant::I2(3)),
      Fails(Variant::R8(32767.5), VT_I2, DISP_E_OVERFLOW),
      Fails(Variant::R8(std::nan("")), VT_I4, DISP_E_OVERFLOW),
      Converts(Variant::Date(2.5), VT_I4, Variant::I4(2)),
      Converts(Variant::R8(-657434.0), VT_DATE, Variant::Date(-657434.0)),
      Fails(Variant::R8(-657435.0), VT_DATE, DISP_E_OVERFLOW),
      Fails(Variant::R8(1e7), VT_DATE, DISP_E_OVERFLOW),
  });
}

TEST(ConversionTest, BooleansAreMinusOneAndZero) {
  Check({
      Converts(Variant(true), VT_I4, Variant::I4(-1)),
      Converts(Variant::R8(0.1), VT_BOOL, Variant(true)),
      Converts(Text(L" false "), VT_BOOL, Variant(false)),
      Converts(Text(L"-2.5"), VT_BOOL, Variant(true)),
      Fails(Text(L"yes"), VT_BOOL, DISP_E_TYPEMISMATCH),
      Fails(Text(L"True"), VT_I4, DISP_E_TYPEMISMATCH),
  });
}

TEST(ConversionTest, TextToNumbersInTheDefaultLocale) {
  Check({
      Converts(Text(L" 12 "), VT_I4, Variant::I4(12)),
      Converts(Text(L"-1,234.5"), VT_R8, Variant::R8(-1234.5)),
      Converts(Text(L"2.5"), VT_I2, Variant::I2(2)),
      Converts(Text(L"1000e-330"), VT_R8, Variant::R8(0)),
      Fails(Text(L"-0.001e312"), VT_R8, DISP_E_OVERFLOW),
      Fails(Text(L""), VT_I4, DISP_E_TYPEMISMATCH),
      Fails(Text(L",5"), VT_R8, DISP_E_TYPEMISMATCH),
      Fails(Text(L"1 2"), VT_I4, DISP_E_TYPEMISMATCH),
  });
}

TEST(ConversionTest, ToText) {
  int32_t number = 42;
  Check({
      Converts(Variant::I2(-5), VT_BSTR, Text(L"-5")),
      Converts(Variant::R8(-0.0), VT_BSTR, Text(L"0")),
      Converts(Variant::ByRef(VT_I4, &number), VT_BSTR, Text(L"42")),
      Converts(Variant::Date(44190.75), VT_BSTR, Text(L"12/25/2020 6:00:00 PM")),
      Fails(Text(L"12.5"), VT_DATE, DISP_E_TYPEMISMATCH),
  });
}

TEST(ConversionTest, DoubleTextAndRoundTripText) {
  struct Case {
    double value;
    const wchar_t* text;
    const wchar_t* round_trip;
  };
  const double infinity = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {0.1 + 0.2, L"0.3", L"0.30000000000000004"},
      {2.0 / 3, L"0.666666666666667", L"0.6666666666666666"},
      {999999999999999.9, L"1E+15", L"999999999999999.9"},
      {123456789012345678.0, L"1.23456789012346E+17", L"1.2345678901234568E+17"},
      {0.00001, L"1E-05", L"1E-05"},
      {std::numeric_limits<double>::max(), L"1.79769313486232E+308", L"1.7976931348623157E+308"},
      {5e-324, L"4.94065645841247E-324", L"5E-324"},
      {-0.0, L"0", L"-0"},
      {std::nan(""), L"NaN", L"NaN"},
      {infinity, L"Infinity", L"Infinity"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DoubleToText(c.value), c.text);
    EXPECT_EQ(DoubleToRoundTripText(c.value), c.round_trip);
    if (!std::isfinite(c.value)) continue;
    double read = std::nan("");
    ASSERT_TRUE(ParseDouble(c.round_trip, &read)) << testing::PrintToString(c.round_trip);
    EXPECT_EQ(std::bit_cast<uint64_t>(read), std::bit_cast<uint64_t>(c.value))
        << testing::PrintToString(c.round_trip);
  }
  double untouched = 7;
  EXPECT_FALSE(ParseDouble(L"seven", &untouched));
  EXPECT_EQ(untouched, 7);
}

// A float becomes text with at most 7 significant digits.
TEST(ConversionTest, FloatText) {
  struct Case {
    float value;
    const wchar_t* text;
  };
  const Case cases[] = {
      {1.0f / 3, L"0.3333333"},
      {1e7f, L"1E+07"},
      {16777217.0f, L"1.677722E+07"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToText(c.value), c.text) << c.value;
}

TEST(ConversionTest, EmptyNullErrorAndTypes) {
  std::wstring text = L"2.5";
  Check({
      Converts(Variant(), VT_I2, Variant::I2(0)),
      Converts(Variant::Null(), VT_NULL, Variant::Null()),
      Fails(Variant::I4(1), VT_NULL, DISP_E_TYPEMISMATCH),
      Converts(Variant::Error(E_FAIL), VT_I4, Variant::I4(E_FAIL)),
      Converts(Variant::I4(5), VT_ERROR, Variant::Error(5)),
      Fails(Variant::Error(E_FAIL), VT_R8, DISP_E_TYPEMISMATCH),
      Converts(Variant::ByRef(VT_BSTR, &text), VT_R8, Variant::R8(2.5)),
      Fails(Variant::I4(3), 4, DISP_E_BADVARTYPE),
      Fails(Variant::I4(3), VT_DISPATCH, DISP_E_TYPEMISMATCH),
  });
}

TEST(ConversionTest, DestinationMayBeTheSource) {
  Variant value(L"12");
  ASSERT_EQ(VariantChangeType(&value, value, 0, VT_I4), S_OK);
  EXPECT_EQ(value, Variant::I4(12));

  Variant array(SafeArray::FromValues({Variant(L"1")}));
  ASSERT_EQ(VariantChangeType(&array, array, 0, VT_ARRAY | VT_I4), S_OK);
  EXPECT_EQ(array.array().data()[0], Variant::I4(1));
}

TEST(ConversionTest, ObjectsConvertThroughTheirDefaultValue) {
  ComPtr<ValueObject> object = MakeObject<ValueObject>(Variant(L"42"));
  ComPtr<ValueObject> failing = MakeObject<ValueObject>(Variant(), E_ACCESSDENIED);
  ComPtr<ValueObject> outer =
      MakeObject<ValueObject>(Variant(static_cast<IDispatch*>(object.get())));
  const Variant held(static_cast<IDispatch*>(object.get()));
  const Variant unknown(static_cast<IUnknown*>(object.get()));
  Check({
      Converts(held, VT_I4, Variant::I4(42)),
      Fails(held, VT_I4, DISP_E_TYPEMISMATCH, VARIANT_NOVALUEPROP),
      Converts(held, VT_VARIANT, held),
      Converts(held, VT_UNKNOWN, unknown),
      Converts(unknown, VT_DISPATCH, held),
      Fails(Variant(static_cast<IDispatch*>(failing.get())), VT_I4, E_ACCESSDENIED),
      // An object whose value is an object does not convert.
      Fails(Variant(static_cast<IDispatch*>(outer.get())), VT_I4, DISP_E_TYPEMISMATCH),
  });
  EXPECT_EQ(object->reads(), 1);
  EXPECT_EQ(object->references(), 4u) << "held, unknown and outer's value";
}

TEST(ConversionTest, ArraysConvertElementWise) {
  const SafeArray numbers = SafeArray::FromValues({Variant::I4(1), Variant::I4(2)}, VT_I4);
  const SafeArray texts = SafeArray::FromValues({Variant(L"1"), Variant(L"2")});
  const SafeArray words = SafeArray::FromValues({Variant(L"1"), Variant(L"two")});
  SafeArray texts_2d(VT_BSTR, {{1, 2}, {-1, 2}});
  SafeArray numbers_2d(VT_R8, {{1, 2}, {-1, 2}});
  for (Variant& element : texts_2d.data()) element = Variant(L"3");
  for (Variant& element : numbers_2d.data()) element = Variant::R8(3);
  Check({
      Converts(Variant(numbers), VT_ARRAY | VT_VARIANT,
               Variant(SafeArray::FromValues({Variant::I4(1), Variant::I4(2)}))),
      Converts(Variant(texts), VT_ARRAY | VT_I4, Variant(numbers)),
      Converts(Variant(texts_2d), VT_ARRAY | VT_R8, Variant(numbers_2d)),
      Fails(Variant(words), VT_ARRAY | VT_I4, DISP_E_TYPEMISMATCH),
      Fails(Variant(numbers), VT_I4, DISP_E_TYPEMISMATCH),
      Fails(Variant::I4(1), VT_ARRAY | VT_I4, DISP_E_TYPEMISMATCH),
  });
}

}  // namespace
}  // namespace ovc
